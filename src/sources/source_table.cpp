#include "sources/source_table.h"

#include <array>
#include <charconv>

#include "sources/header_lines.h"
#include "sources/source_layouts.h"

namespace plovix {

namespace {

std::string fixed(const char* text) {
    return text;
}

// The settings each source's reading depends on. Two keys count for every source: the reading
// pass takes the first vertical reading as its zero with GEOTACUFVDAZ, and the export writes
// the sample weight and specific gravity with HUMFTHSD, whatever the source.
constexpr std::string_view kSharedKeys[] = {"GEOTACUFVDAZ", "HUMFTHSD"};
constexpr std::string_view kGeoTestKeys[] = {"KWDS", "GEOTACUFVDAZ", "HUMFTHSD"};
// The rate reported for Proprietary Client files follows GEOTAC's choice.
constexpr std::string_view kProprietaryClientKeys[] = {"GEOTACROS", "GEOTACIPM", "GEOTACUFVDAZ",
                                                       "HUMFTHSD"};
constexpr std::string_view kGeotacKeys[] = {
    "GEOTACI0",     "GEOTACNPSF",      "GEOTACADCDT",  "GEOTACCS",  "GEOTACCSDSV",
    "GEOTACCSUCCV", "GEOTACUFDAZ",     "GEOTACUFVDAZ", "GEOTACROS", "GEOTACIPM",
    "GEOTACUIL",    "GEOTAC_LRCDS361", "HUMFTHSD"};
// HUMXLCOLINCUCC also decides whether workbook readings are numbered from 1 (HumIncOne).
constexpr std::string_view kHumboldtKeys[] = {
    "GEOTACUFVDAZ",  "HUMROS",      "HUMXLEXP",     "HUMREADXL",      "HUMFTHSD",
    "HUMDEFDIV",     "HUMXLSHEET",  "HUMXLROW",     "HUMXLCOL",       "HUMXLCOLINC",
    "HUMXLSHEETUCC", "HUMXLROWUCC", "HUMXLCOLUCC",  "HUMXLCOLINCUCC", "HUMXLSHEETDS",
    "HUMXLROWDS",    "HUMXLCOLDS",  "HUMXLCOLINCDS"};

const std::array<SourceLayout, kSourceCount> kSources{{
    {kGeomatic, "Geomatic", [](const Session&) { return fixed("Geomatic files |*.DAT"); },
     [](const Session&) { return fixed(",2,"); }, geomaticField, geomaticHeader, kSharedKeys,
     &kGeomaticDisplay, 12},
    {kGeoTest, "GeoTest",
     [](const Session& s) {
         if (s.settings.KWDS) return fixed("GeoTest files |*.DAT");
         if (s.program.TestType == kUnconfinedCompression || s.program.TestType == kDirectShear)
             return fixed("GeoTest files |*.LST");
         return fixed("GeoTest files |*.GEO;*.LST");
     },
     [](const Session& s) { return fixed(s.specimens.KWDSFile ? ",2," : ",1,2,3,4,5,"); },
     geotestField, geotestHeader, kGeoTestKeys, &kGeoTestDisplay, 10, geotestPlainField},
    {kProprietaryClient, "Proprietary Client",
     [](const Session&) { return fixed("Proprietary Client files |*.TRX"); },
     [](const Session&) { return fixed(",3,4,5,6,"); }, proprietaryClientField,
     proprietaryClientHeader, kProprietaryClientKeys, &kProprietaryClientDisplay, 10},
    {kDurhamGeo, "Durham Geo",
     [](const Session&) { return fixed("Durham Geo files |*.TXT;*.DAT"); },
     [](const Session&) { return fixed(",1,2,3,4,5,6,"); }, durhamGeoField, durhamGeoHeader,
     kSharedKeys, &kDurhamGeoDisplay, 10},
    {kGeotac, "GEOTAC",
     [](const Session& s) {
         return fixed(s.program.TestType == kDirectShear ? "GEOTAC files |*.SDF;*.DAT"
                                                         : "GEOTAC files |*.TRX;*.DAT");
     },
     [](const Session&) { return fixed(",1,2,3,4,5,6,"); }, geotacField, geotacHeader, kGeotacKeys,
     &kGeotacDisplay, 10},
    {kHumboldt, "Humboldt",
     [](const Session& s) {
         return fixed(s.settings.HUMREADXL ? "Humboldt XL files |*.XLS;*.XLSX"
                                           : "Humboldt files |*.TXT");
     },
     [](const Session& s) {
         if (s.settings.HUMREADXL) return fixed(",1,2,3,");
         if (s.settings.HUMXLEXP) return fixed(",1,3,4,5,6,");
         return fixed(",1,2,3,4,5,6,");
     },
     humboldtField, humboldtHeader, kHumboldtKeys, &kHumboldtDisplay, 10},
    {kEnKay, "EnKay", [](const Session&) { return fixed("Enkay files |*.TXT"); },
     [](const Session&) { return fixed(",5,"); }, enkayField, enkayHeader, kSharedKeys,
     &kEnKayDisplay, 10},
    {kEleSoilTest, "ELE/SoilTest", [](const Session&) { return fixed("ELE/Soiltest |*.tab"); },
     [](const Session&) { return fixed(",5,"); }, eleSoilTestField, eleSoilTestHeader, kSharedKeys,
     &kEleSoilTestDisplay, 10},
}};

}  // namespace

std::span<const SourceLayout> sourceTable() {
    return kSources;
}

const SourceLayout* findSource(int code) {
    if (code < 1 || code > kSourceCount) return nullptr;
    return &kSources[static_cast<std::size_t>(code - 1)];
}

bool fSourceIn(const Session& s, std::string_view list) {
    // ",N," in the list, with a "," put in front when it has none there.
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, s.settings.SourceType);
    const std::string_view code(digits, static_cast<std::size_t>(written.ptr - digits));
    const bool leadingComma = !list.empty() && list.front() == ',';
    for (std::size_t at = list.find(code); at != std::string_view::npos;
         at = list.find(code, at + 1)) {
        const bool before = at == 0 ? !leadingComma : list[at - 1] == ',';
        const std::size_t after = at + code.size();
        if (before && after < list.size() && list[after] == ',') return true;
    }
    return false;
}

}  // namespace plovix
