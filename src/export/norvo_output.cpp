#include "export/norvo_output.h"

namespace plovix {

namespace fs = std::filesystem;

std::unique_ptr<AtomicFileWriter> NorvoOutput::open(const fs::path& target) const {
    auto writer =
        files_.openOutput ? files_.openOutput(target) : std::make_unique<AtomicFileWriter>(target);
    if (!writer) throw exportErrorOf(std::make_error_code(std::errc::io_error));
    if (writer->error()) throw exportErrorOf(writer->error());
    return writer;
}

NorvoValueReader& NorvoOutput::openTemplate() {
    lastOpened = templatePath_.string();
    templateIn_.emplace(templatePath_);
    return *templateIn_;
}

void NorvoOutput::openData(const fs::path& target) {
    lastOpened = target.string();
    data_ = open(target);
}

void NorvoOutput::write(const std::string& record) {
    if (auto error = data_->write(record)) throw exportErrorOf(error);
}

void NorvoOutput::commit() {
    if (auto error = data_->finish()) throw exportErrorOf(error);
    std::unique_ptr<AtomicFileWriter> index;
    if (indexBytes_) {
        index = open(indexPath_);
        if (auto error = index->write(*indexBytes_)) throw exportErrorOf(error);
        if (auto error = index->finish()) throw exportErrorOf(error);
    }
    // Both files are complete on the disk before either replaces its target.
    if (auto error = data_->commit()) throw exportErrorOf(error);
    if (index) {
        if (auto error = index->commit()) throw exportErrorOf(error);
    }
}

}  // namespace plovix
