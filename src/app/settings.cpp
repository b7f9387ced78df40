#include "app/settings.h"

#include <cmath>
#include <tuple>
#include <variant>

#include "text/fields.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace {

enum class Kind { Number, Integer, Flag, Text };

// What a key does beyond storing its value.
enum class Rule {
    Plain,
    SetsHumIncOne,       // HumIncOne = this text reads as 1
    InvertedReadOnly,    // "Generic": true only for "False", forces GeoTest, never written
    ResetOnLoad,         // "DDMM": always false after loading, written from the session
    DefaultIsNorvoPath,  // "NorvoProgPath": absent means the NorvoPath just read
    SavedFromTestType,   // "LTTU": loaded into LTTU, written from the current TestType
};

using TextTable = Table1<std::string, 6>;
struct TableCell {
    TextTable Settings::*table;
    int index;
};
using Field = std::variant<double Settings::*, int Settings::*, bool Settings::*,
                           std::string Settings::*, TableCell>;

struct SettingKey {
    const char* section;
    const char* key;
    Kind kind;
    const char* fallback;
    Field field;
    Rule rule = Rule::Plain;
    int low = static_cast<int>(kInt16Min);  // integers outside low..high read as the default
    int high = static_cast<int>(kInt16Max);
};

constexpr const char* kFiltTol = "FiltTol";
constexpr const char* kFiles = "Files";
constexpr const char* kSettings = "Settings";

using S = Settings;
using K = Kind;

// Every key, in the order they are written. "Generic" sits between LTTU and DDMM so that it
// is read before DDMM, as the old program did; it is skipped when writing.
constexpr SettingKey kKeys[] = {
    {kFiltTol, "SDispFac", K::Number, "1", &S::SDispFac},
    {kFiltTol, "SLoadFac", K::Number, "1", &S::SLoadFac},
    {kFiltTol, "PressFac", K::Number, "1", &S::PressFac},
    {kFiltTol, "DSDispFac", K::Number, "1", &S::DSDispFac},
    {kFiltTol, "DSLoadFac", K::Number, "1", &S::DSLoadFac},
    {kFiltTol, "VDispFac", K::Number, "1", &S::VDispFac},
    {kFiltTol, "VLoadFac", K::Number, "1", &S::VLoadFac},
    {kFiltTol, "KWDS", K::Flag, "False", &S::KWDS},
    {kFiltTol, "IncMax", K::Number, "0.05", &S::IncMax},
    {kFiltTol, "Tolerance", K::Number, "5", &S::Tolerance},
    {kFiles, "DAFile", K::Text, "", &S::DAFile},
    {kFiles, "DAName", K::Text, "", &S::DAName},
    {kFiles, "DAPath", K::Text, "C:\\", &S::DAPath},
    {kFiles, "NorvoPath", K::Text, "C:\\", &S::NorvoPath},
    {kFiles, "NorvoProgPath", K::Text, "", &S::NorvoProgPath, Rule::DefaultIsNorvoPath},
    {kSettings, "SaveName", K::Flag, "False", &S::SaveName},
    {kSettings, "GEOTACI0", K::Flag, "True", &S::GEOTACI0},
    {kSettings, "GEOTACNPSF", K::Flag, "False", &S::GEOTACNPSF},
    {kSettings, "GEOTACADCDT", K::Flag, "False", &S::GEOTACADCDT},
    {kSettings, "GEOTACCS", K::Flag, "False", &S::GEOTACCS},
    {kSettings, "GEOTACCSDSV", K::Flag, "False", &S::GEOTACCSDSV},
    {kSettings, "GEOTACCSUCCV", K::Flag, "False", &S::GEOTACCSUCCV},
    {kSettings, "GEOTACUFDAZ", K::Flag, "False", &S::GEOTACUFDAZ},
    {kSettings, "GEOTACUFVDAZ", K::Flag, "True", &S::GEOTACUFVDAZ},
    {kSettings, "GEOTACROS", K::Flag, "True", &S::GEOTACROS},
    {kSettings, "GEOTACIPM", K::Flag, "True", &S::GEOTACIPM},
    {kSettings, "GEOTACUIL", K::Flag, "True", &S::GEOTACUIL},
    {kSettings, "GEOTAC_LRCDS361", K::Number, "8669", &S::LRCDS361},
    {kSettings, "HUMROS", K::Flag, "True", &S::HUMROS},
    {kSettings, "HUMXLEXP", K::Flag, "False", &S::HUMXLEXP},
    {kSettings, "HUMREADXL", K::Flag, "False", &S::HUMREADXL},
    {kSettings, "HUMFTHSD", K::Flag, "False", &S::HUMFTHSD},
    {kSettings, "HUMDEFDIV", K::Number, "1", &S::HumDefDiv},
    {kSettings, "HUMXLSHEET", K::Text, "4", TableCell{&S::HumXLSheet, 3}},
    {kSettings, "HUMXLROW", K::Text, "42", TableCell{&S::HumXLRow, 3}},
    {kSettings, "HUMXLCOL", K::Text, "C", TableCell{&S::HumXLCol, 3}},
    {kSettings, "HUMXLCOLINC", K::Text, "1", TableCell{&S::HumXLColInc, 3}},
    {kSettings, "HUMXLSHEETUCC", K::Text, "2", TableCell{&S::HumXLSheet, 1}},
    {kSettings, "HUMXLROWUCC", K::Text, "37", TableCell{&S::HumXLRow, 1}},
    {kSettings, "HUMXLCOLUCC", K::Text, "C", TableCell{&S::HumXLCol, 1}},
    {kSettings, "HUMXLCOLINCUCC", K::Text, "2", TableCell{&S::HumXLColInc, 1}, Rule::SetsHumIncOne},
    {kSettings, "HUMXLSHEETDS", K::Text, "3", TableCell{&S::HumXLSheet, 2}},
    {kSettings, "HUMXLROWDS", K::Text, "12", TableCell{&S::HumXLRow, 2}},
    {kSettings, "HUMXLCOLDS", K::Text, "B", TableCell{&S::HumXLCol, 2}},
    {kSettings, "HUMXLCOLINCDS", K::Text, "1", TableCell{&S::HumXLColInc, 2}},
    {kSettings, "NVWIN", K::Flag, "True", &S::NVWIN},
    // The window indexes its lists with these unchecked, so an unknown code reads as the default.
    {kSettings, "DAT", K::Integer, "1", &S::SourceType, Rule::Plain, 1, kSourceCount},
    {kSettings, "LTTU", K::Integer, "5", &S::LTTU, Rule::SavedFromTestType, 1, kTestTypeCount},
    {kSettings, "Generic", K::Flag, "True", &S::Generic, Rule::InvertedReadOnly},
    {kSettings, "DDMM", K::Flag, "False", &S::DDMM, Rule::ResetOnLoad},
};

constexpr bool fieldMatchesKind(const SettingKey& k) {
    switch (k.kind) {
        case Kind::Number:
            return std::holds_alternative<double Settings::*>(k.field);
        case Kind::Integer:
            return std::holds_alternative<int Settings::*>(k.field);
        case Kind::Flag:
            return std::holds_alternative<bool Settings::*>(k.field);
        case Kind::Text:
            return std::holds_alternative<std::string Settings::*>(k.field) ||
                   std::holds_alternative<TableCell>(k.field);
    }
    return false;
}

constexpr bool tableIsConsistent() {
    for (const auto& k : kKeys) {
        if (k.section == nullptr || k.key == nullptr || !fieldMatchesKind(k)) return false;
    }
    return true;
}
static_assert(tableIsConsistent(),
              "every settings key needs a section, a name and a field of its kind");

template <typename T, typename SettingsT>
auto& member(SettingsT& settings, const Field& field) {
    return settings.*std::get<T Settings::*>(field);
}

template <typename SettingsT>
auto& textOf(SettingsT& settings, const Field& field) {
    if (const auto* cell = std::get_if<TableCell>(&field))
        return (settings.*(cell->table))(cell->index);
    return member<std::string>(settings, field);
}

// A number read as an integer of the key's range: halves to the even neighbour; empty when the
// text is out of range.
std::optional<int> readInteger(std::string_view text, int low, int high) {
    const double value = readNumber(text);
    // Far outside 16 bits is refused before rounding, so the conversion cannot overflow.
    if (!std::isfinite(value) || std::fabs(value) > 1e9) return std::nullopt;
    const auto whole = roundHalfEven(value);
    if (whole < low || whole > high) return std::nullopt;
    return static_cast<int>(whole);
}

void loadKey(Session& s, const IniFile& file, const SettingKey& k) {
    Settings& st = s.settings;
    const std::string fallback = k.rule == Rule::DefaultIsNorvoPath ? st.NorvoPath : k.fallback;
    const std::string text = file.getOr(k.section, k.key, fallback);
    switch (k.kind) {
        case Kind::Number: {
            const double value = readNumber(text);
            member<double>(st, k.field) = std::isfinite(value) ? value : readNumber(k.fallback);
            break;
        }
        case Kind::Integer:
            member<int>(st, k.field) =
                readInteger(text, k.low, k.high).value_or(static_cast<int>(readNumber(k.fallback)));
            break;
        case Kind::Flag: {
            bool& flag = member<bool>(st, k.field);
            flag = text == "True";
            if (k.rule == Rule::InvertedReadOnly) {
                flag = text == "False";
                if (flag) st.SourceType = kGenericSource;
            }
            if (k.rule == Rule::ResetOnLoad) flag = false;
            break;
        }
        case Kind::Text:
            textOf(st, k.field) = text;
            if (k.rule == Rule::SetsHumIncOne) st.HumIncOne = readNumber(text) == 1.0;
            break;
    }
}

std::string textToWrite(const Session& s, const SettingKey& k) {
    const Settings& st = s.settings;
    switch (k.kind) {
        case Kind::Number:
            return formatRoundTripNumber(member<double>(st, k.field));
        case Kind::Integer: {
            const int value =
                k.rule == Rule::SavedFromTestType ? s.program.TestType : member<int>(st, k.field);
            return formatGeneralNumber(value);
        }
        case Kind::Flag:
            return member<bool>(st, k.field) ? "True" : "False";
        case Kind::Text:
            return textOf(st, k.field);
    }
    return {};
}

template <typename T, int Upper>
bool sameCells(const Table1<T, Upper>& a, const Table1<T, Upper>& b) {
    for (int i = 0; i <= Upper; ++i)
        if (a(i) != b(i)) return false;
    return true;
}

}  // namespace

bool Settings::operator==(const Settings& o) const {
    const auto scalars = [](const Settings& s) {
        return std::tie(s.SDispFac, s.SLoadFac, s.PressFac, s.DSDispFac, s.DSLoadFac, s.VDispFac,
                        s.VLoadFac, s.KWDS, s.IncMax, s.Tolerance, s.DAFile, s.DAName, s.DAPath,
                        s.NorvoPath, s.NorvoProgPath, s.SaveName, s.GEOTACI0, s.GEOTACNPSF,
                        s.GEOTACADCDT, s.GEOTACCS, s.GEOTACCSDSV, s.GEOTACCSUCCV, s.GEOTACUFDAZ,
                        s.GEOTACUFVDAZ, s.GEOTACROS, s.GEOTACIPM, s.GEOTACUIL, s.LRCDS361,
                        s.HumDefDiv, s.HUMROS, s.HUMXLEXP, s.HUMREADXL, s.HUMFTHSD, s.NVWIN, s.DDMM,
                        s.Generic, s.SourceType, s.LTTU, s.HumIncOne);
    };
    return scalars(*this) == scalars(o) && sameCells(HumXLSheet, o.HumXLSheet) &&
           sameCells(HumXLRow, o.HumXLRow) && sameCells(HumXLCol, o.HumXLCol) &&
           sameCells(HumXLColInc, o.HumXLColInc);
}

void LoadSettings(Session& s, const IniFile& file) {
    for (const auto& k : kKeys) loadKey(s, file, k);
}

std::error_code LoadSettings(Session& s) {
    IniFile file;
    const auto error = file.load(s.program.IniFile);
    LoadSettings(s, file);
    return error;
}

void storeSettings(const Session& s, IniFile& file) {
    for (const auto& k : kKeys) {
        if (k.rule != Rule::InvertedReadOnly) file.setExact(k.section, k.key, textToWrite(s, k));
    }
}

bool SaveSettings(const Session& s, const std::filesystem::path& iniFile, std::error_code& error) {
    IniFile file;
    // A file that exists but cannot be read is not replaced by one that lost its other contents.
    error = file.load(iniFile);
    if (error) return false;
    storeSettings(s, file);
    error = file.save(iniFile);
    return !error;
}

bool SaveSettings(const Session& s) {
    std::error_code error;
    return SaveSettings(s, s.program.IniFile, error);
}

std::optional<std::string> settingsSectionOf(std::string_view key) {
    for (const auto& k : kKeys) {
        if (upperAscii(k.key) == upperAscii(key)) return std::string(k.section);
    }
    return std::nullopt;
}

}  // namespace plovix
