#pragma once
// The Norvo data file while it is being built: what the export is given (template, defaults,
// index description), and the open files from the head to the last block: the template being
// read and the new file being written beside its target, which replaces the target only when
// every block is complete.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/atomic_file.h"
#include "export/norvo_name.h"
#include "export/norvo_records.h"

namespace plovix {

struct ExportFiles {
    // NVNEW.NDT; empty: the one beside the program, else the installed one.
    std::filesystem::path templateFile;
    // NV.DDT (DOS target only); empty: where "Save and Exit" looked for it, else beside the
    // program.
    std::filesystem::path defaultsFile;
    // The description a new entry of the DOS index gets (the description box).
    std::string description = kDefaultNorvoDescription;
    // Opens a file to be built beside `target`; empty: an AtomicFileWriter. Tests hand in
    // writers that fail.
    std::function<std::unique_ptr<AtomicFileWriter>(const std::filesystem::path& target)>
        openOutput;
};

// The export ended after its failure was shown; nothing has been replaced.
struct ExportAbandoned {};

class NorvoOutput {
  public:
    NorvoOutput(const ExportFiles& files, std::filesystem::path templatePath)
        : files_(files), templatePath_(std::move(templatePath)) {}

    // Opens the template for reading. Throws ExportError.
    NorvoValueReader& openTemplate();
    NorvoValueReader& templateIn() { return *templateIn_; }
    // Opens the new data file beside `target`. Throws ExportError.
    void openData(const std::filesystem::path& target);
    // Writes one record (or reading line) with its CR LF. Throws ExportError.
    void write(const std::string& record);
    void writeLine(const std::string& line) { write(line + "\r\n"); }

    // The DOS index as it must be after the export; nullopt leaves it as it is.
    void setIndex(std::filesystem::path path, std::optional<std::string> bytes) {
        indexPath_ = std::move(path);
        indexBytes_ = std::move(bytes);
    }
    // Completes both files, then puts the data file and the index in place. Throws ExportError.
    void commit();

    const std::filesystem::path& templatePath() const { return templatePath_; }
    // The path of the file opened last, for the failure messages.
    std::string lastOpened;

  private:
    std::unique_ptr<AtomicFileWriter> open(const std::filesystem::path& target) const;

    const ExportFiles& files_;
    std::filesystem::path templatePath_;
    std::optional<NorvoValueReader> templateIn_;
    std::unique_ptr<AtomicFileWriter> data_;
    std::filesystem::path indexPath_;
    std::optional<std::string> indexBytes_;
};

}  // namespace plovix
