#include "cli/options.h"

#include <charconv>

#include "sources/source_table.h"
#include "text/fields.h"

namespace plovix::cli {

const char* const kUsage =
    "Usage: plovix-convert [options] FILE1 [FILE2 [FILE3 [FILE4]]]\n"
    "Reads the D/A files of up to four specimens, one per file, and reports what the reading\n"
    "pass keeps of each.\n"
    "\n"
    "  -o, --output FILE     write the Norvo data file; without it, only the preview runs\n"
    "  --target windows|dos  Norvo version (default: the NVWIN setting)\n"
    "  --template FILE       Norvo template (default: NVNEW.NDT beside the program / installed)\n"
    "  --defaults FILE       DOS defaults NV.DDT (default: where the export looks for it)\n"
    "  --description TEXT    description for the DOS index\n"
    "  --source N|NAME       1..8 or geomatic, geotest, proprietary, durham, geotac, humboldt,\n"
    "                        enkay, ele (default: the DAT setting)\n"
    "  --test N|NAME         1..6 or ucc, ds, uu, cu, cupp, cd (default: the LTTU setting)\n"
    "  --settings FILE       settings file to read (never written)\n"
    "  --set KEY=VALUE       override one settings key for this run\n"
    "  --cycles S:C,C,...    specimen S uses only these cycles of run 1\n"
    "  --skip-disp-repeats S, --skip-load-repeats S\n"
    "                        tick that specimen's skip box\n"
    "  --yes                 answer OK to the wrong-test-type prompt (default: Cancel)\n"
    "  --json FILE|-         machine-readable report of every specimen and every message\n"
    "  --summary             print the cycle pre-processing summary of each file\n"
    "  --display FILE|-      the data display of each file: \"== specimen N\", then its lines\n"
    "                        (LF, bytes as in the file)\n"
    "  --plot FILE.png|.pdf  load against displacement of each specimen, kept and dropped\n"
    "                        readings (\"-N\" before the ending per specimen when several)\n"
    "  --version             the program's version\n"
    "  -h, --help            this text\n"
    "\n"
    "Exit status: 0 done, 1 usage, 2 a file was refused, 3 the export failed.\n";

namespace {

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

template <typename Names>
std::optional<int> codeFromText(const std::string& text, int count, const Names& names) {
    if (auto n = wholeNumber(text)) {
        if (*n >= 1 && *n <= count) return n;
        return std::nullopt;
    }
    const std::string wanted = upperAscii(text);
    int code = 1;
    for (std::string_view name : names) {
        if (upperAscii(name) == wanted) return code;
        ++code;
    }
    return std::nullopt;
}

std::optional<int> specimenNumber(const std::string& text) {
    const auto n = wholeNumber(text);
    if (n && *n >= 1 && *n <= 4) return n;
    return std::nullopt;
}

}  // namespace

std::optional<int> sourceFromText(const std::string& text) {
    std::vector<std::string_view> names;
    for (const SourceLayout& source : sourceTable()) names.push_back(source.traits->shortName);
    return codeFromText(text, kSourceCount, names);
}

std::optional<int> testTypeFromText(const std::string& text) {
    constexpr std::string_view kNames[] = {"ucc", "ds", "uu", "cu", "cupp", "cd"};
    return codeFromText(text, kTestTypeCount, kNames);
}

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult result;
    ConvertOptions& o = result.options;
    auto fail = [&](const std::string& message) {
        result.error = message;
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--yes") {
            o.yes = true;
        } else if (arg == "--summary") {
            o.summary = true;
        } else if (arg == "-o" || arg == "--output" || arg == "--target" || arg == "--template" ||
                   arg == "--defaults" || arg == "--description") {
            const auto v = value();
            if (!v) return fail(arg + " needs a value");
            if (arg == "--target") {
                const std::string t = upperAscii(*v);
                if (t != "WINDOWS" && t != "DOS")
                    return fail("--target is windows or dos, not \"" + *v + "\"");
                o.windowsTarget = t == "WINDOWS";
            } else if (arg == "--template") {
                o.templateFile = *v;
            } else if (arg == "--defaults") {
                o.defaultsFile = *v;
            } else if (arg == "--description") {
                o.description = *v;
            } else {
                o.output = *v;
            }
        } else if (arg == "--source" || arg == "--test" || arg == "--settings" || arg == "--set" ||
                   arg == "--cycles" || arg == "--skip-disp-repeats" ||
                   arg == "--skip-load-repeats" || arg == "--json" || arg == "--display" ||
                   arg == "--plot") {
            const auto v = value();
            if (!v) return fail(arg + " needs a value");
            if (arg == "--source") {
                o.source = sourceFromText(*v);
                if (!o.source) return fail("unknown source \"" + *v + "\"");
            } else if (arg == "--test") {
                o.testType = testTypeFromText(*v);
                if (!o.testType) return fail("unknown test type \"" + *v + "\"");
            } else if (arg == "--settings") {
                o.settingsFile = *v;
            } else if (arg == "--set") {
                const auto eq = v->find('=');
                if (eq == std::string::npos || eq == 0)
                    return fail("--set needs KEY=VALUE, not \"" + *v + "\"");
                o.settingOverrides.emplace_back(v->substr(0, eq), v->substr(eq + 1));
            } else if (arg == "--cycles") {
                const auto colon = v->find(':');
                const auto spec = specimenNumber(v->substr(0, colon));
                if (colon == std::string::npos || !spec)
                    return fail("--cycles needs S:C,C,... with a specimen 1 to 4, not \"" + *v +
                                "\"");
                std::vector<int>& list = o.cycles[*spec];
                list.clear();
                for (long long k = 1;; ++k) {
                    const std::string item = fListItem(v->substr(colon + 1), k, true);
                    if (item.empty()) break;
                    const auto c = wholeNumber(item);
                    if (!c || *c < 1 || *c > 10)
                        return fail("a cycle of --cycles must be 1 to 10, not \"" + item + "\"");
                    list.push_back(*c);
                }
            } else if (arg == "--skip-disp-repeats" || arg == "--skip-load-repeats") {
                const auto spec = specimenNumber(*v);
                if (!spec) return fail(arg + " needs a specimen 1 to 4, not \"" + *v + "\"");
                (arg == "--skip-disp-repeats" ? o.skipDispRepeats : o.skipLoadRepeats)
                    .push_back(*spec);
            } else if (arg == "--display") {
                o.displayFile = *v;
            } else if (arg == "--plot") {
                const std::string ending =
                    v->size() > 4 ? upperAscii(v->substr(v->size() - 4)) : std::string();
                if (ending != ".PNG" && ending != ".PDF")
                    return fail("--plot writes FILE.png or FILE.pdf, not \"" + *v + "\"");
                o.plotFile = *v;
            } else {
                o.jsonFile = *v;
            }
        } else if (arg.size() > 1 && arg.front() == '-') {
            return fail("unknown option " + arg);
        } else {
            o.files.push_back(arg);
        }
    }
    if (o.help || o.version) return result;
    if (o.files.empty()) return fail("no D/A file given");
    if (o.files.size() > 4) return fail("at most four D/A files, one per specimen");
    if (o.jsonFile == "-" && o.displayFile == "-")
        return fail("--json - and --display - cannot both write to standard output");
    for (const auto& [spec, list] : o.cycles)
        if (spec > static_cast<int>(o.files.size()))
            return fail("--cycles names specimen " + std::to_string(spec) + ", which has no file");
    return result;
}

}  // namespace plovix::cli
