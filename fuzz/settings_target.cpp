// The settings file through load, save and load again: what the program writes back when it
// closes must read as exactly what it read at start-up. The save goes over a copy of the file,
// as the program saves over the file it loaded, so the keys it never writes stay as they were.
//
// The input is the file.

#include <cstdint>
#include <sstream>
#include <string>

#include "app/ini_file.h"
#include "app/settings.h"
#include "fuzz_support.h"

namespace {

using namespace plovix;
namespace fs = std::filesystem;

// Names the first field in which the two settings differ; "" when they are equal.
class Difference {
  public:
    template <typename T>
    void field(const char* name, const T& a, const T& b) {
        if (!found_.empty() || a == b) return;
        std::ostringstream text;
        text.precision(17);
        text << name << ": \"" << a << "\" then \"" << b << "\"";
        found_ = text.str();
    }
    template <typename Table>
    void table(const char* name, const Table& a, const Table& b) {
        for (int i = 0; i <= a.upper(); ++i)
            field((std::string(name) + std::to_string(i)).c_str(), a(i), b(i));
    }
    const std::string& found() const { return found_; }

  private:
    std::string found_;
};

std::string differenceOf(const Settings& a, const Settings& b) {
    Difference d;
#define PLOVIX_SAME(name) d.field(#name, a.name, b.name)
    PLOVIX_SAME(SDispFac);
    PLOVIX_SAME(SLoadFac);
    PLOVIX_SAME(PressFac);
    PLOVIX_SAME(DSDispFac);
    PLOVIX_SAME(DSLoadFac);
    PLOVIX_SAME(VDispFac);
    PLOVIX_SAME(VLoadFac);
    PLOVIX_SAME(KWDS);
    PLOVIX_SAME(IncMax);
    PLOVIX_SAME(Tolerance);
    PLOVIX_SAME(DAFile);
    PLOVIX_SAME(DAName);
    PLOVIX_SAME(DAPath);
    PLOVIX_SAME(NorvoPath);
    PLOVIX_SAME(NorvoProgPath);
    PLOVIX_SAME(SaveName);
    PLOVIX_SAME(GEOTACI0);
    PLOVIX_SAME(GEOTACNPSF);
    PLOVIX_SAME(GEOTACADCDT);
    PLOVIX_SAME(GEOTACCS);
    PLOVIX_SAME(GEOTACCSDSV);
    PLOVIX_SAME(GEOTACCSUCCV);
    PLOVIX_SAME(GEOTACUFDAZ);
    PLOVIX_SAME(GEOTACUFVDAZ);
    PLOVIX_SAME(GEOTACROS);
    PLOVIX_SAME(GEOTACIPM);
    PLOVIX_SAME(GEOTACUIL);
    PLOVIX_SAME(LRCDS361);
    PLOVIX_SAME(HumDefDiv);
    PLOVIX_SAME(HUMROS);
    PLOVIX_SAME(HUMXLEXP);
    PLOVIX_SAME(HUMREADXL);
    PLOVIX_SAME(HUMFTHSD);
    PLOVIX_SAME(NVWIN);
    PLOVIX_SAME(DDMM);
    PLOVIX_SAME(Generic);
    PLOVIX_SAME(SourceType);
    PLOVIX_SAME(LTTU);
    PLOVIX_SAME(HumIncOne);
#undef PLOVIX_SAME
    d.table("HumXLSheet", a.HumXLSheet, b.HumXLSheet);
    d.table("HumXLRow", a.HumXLRow, b.HumXLRow);
    d.table("HumXLCol", a.HumXLCol, b.HumXLCol);
    d.table("HumXLColInc", a.HumXLColInc, b.HumXLColInc);
    return d.found();
}

Settings loaded(const fs::path& path) {
    IniFile file;
    if (const auto error = file.load(path))
        fuzz::broken("cannot read " + path.string() + ": " + error.message());
    Session s;
    LoadSettings(s, file);
    return s.settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Input input(data, size, 0);
    const fs::path first = fuzz::scratchFolder() / "Plovix.INI";
    const fs::path saved = fuzz::scratchFolder() / "Saved.INI";
    fuzz::writeScratchFile(first, input.rest());
    fuzz::writeScratchFile(saved, input.rest());

    Session s;
    s.settings = loaded(first);
    // The window starts with the test type the file names, and saves the one it ends with.
    s.program.TestType = s.settings.LTTU;
    std::error_code error;
    if (!SaveSettings(s, saved, error))
        fuzz::broken("cannot save the settings: " + error.message());
    const std::string difference = differenceOf(s.settings, loaded(saved));
    if (!difference.empty())
        fuzz::broken("the settings read back differ from those saved, " + difference);
    return 0;
}
