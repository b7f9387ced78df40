#include <cmath>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <string_view>

#include "app/session.h"
#include "cli/convert.h"
#include "text/number_format.h"

namespace plovix::cli {

namespace {

// True when `text` is well-formed UTF-8: shortest forms only, no surrogates, nothing above
// U+10FFFF.
bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
        }
        i += length;
    }
    return true;
}

// Windows-1252 from 0x80 to 0x9F. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) stand for the control characters of the same number, as the platform's own
// conversion does, so no byte is lost. From 0xA0 on the code page is Latin-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A JSON string of `text`. Paths and messages may come as UTF-8 (names on the disk) or as the
// files' own single-byte code page (header texts), so each string is judged as a whole: valid
// UTF-8 is written as it is, anything else is read byte by byte as Windows-1252. Either way
// each character is encoded once.
std::string jsonString(std::string_view text) {
    const bool utf8 = isUtf8(text);
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else if (c < 0x80 || utf8) {
                    out += static_cast<char>(c);
                } else {
                    appendUtf8(out, c < 0xA0 ? kWindows1252High[c - 0x80] : char32_t{c});
                }
        }
    }
    return out + "\"";
}

// "sha256":...,"bytes":... of a file, both null when the file could not be read.
std::string digestMembers(const std::optional<FileDigest>& digest) {
    if (!digest) return "\"sha256\":null,\"bytes\":null";
    return "\"sha256\":" + jsonString(digest->sha256) +
           ",\"bytes\":" + std::to_string(digest->bytes);
}

std::string jsonNumber(double value) {
    return std::isfinite(value) ? formatGeneralNumber(value) : "null";
}

void writeSummary(const CycleSummary& summary, std::ostream& out) {
    out << "  D/A FILE PRE-PROCESSING SUMMARY\n"
        << "  Number of Cycles:   " << summary.cycles << " (used " << summary.usedCycles << ")\n"
        << "  Number of Readings: " << summary.readingsInFile << " (used " << summary.usedReadings
        << ")\n"
        << "  CYCLE  READINGS  MAX HORIZONTAL LOAD  HORIZONTAL DISPLACEMENT  DIRECTION  USE\n";
    for (const CycleSummaryRow& row : summary.rows) {
        out << "  " << formatPicture(row.cycle, "##") << "     "
            << formatPicture(row.readings, "###") << "       "
            << formatPicture(row.maxHorLoad, "###.0") << "                "
            << formatPicture(row.horDisp, "0.000") << "                    "
            << formatTextPicture(row.direction, "!@@@@@@@@@") << "  " << (row.used ? "yes" : "no")
            << '\n';
    }
}

std::string jsonOptional(const std::optional<double>& value) {
    return value ? jsonNumber(*value) : "null";
}

// ,"filter_report":[one object per cycle],"filter_notes":[...], both null without a report.
void writeFilterReport(const std::optional<FilterReport>& report, std::ostream& out) {
    if (!report) {
        out << ",\"filter_report\":null,\"filter_notes\":null";
        return;
    }
    out << ",\"filter_report\":[";
    bool first = true;
    for (const CycleFilterReport& c : report->cycles) {
        out << (first ? "" : ",") << "{\"cycle\":" << c.cycle << ",\"readings\":" << c.readings
            << ",\"kept\":" << c.kept << ",\"dropped\":" << c.dropped
            << ",\"largest_drop_distance_pct\":" << jsonOptional(c.largestDropDistance)
            << ",\"largest_step\":" << jsonOptional(c.largestStep)
            << ",\"largest_step_pct_diameter\":" << jsonOptional(c.largestStepOfDiameter) << "}";
        first = false;
    }
    out << "],\"filter_notes\":[";
    first = true;
    for (const std::string& note : report->notes) {
        out << (first ? "" : ",") << jsonString(note);
        first = false;
    }
    out << "]";
}

}  // namespace

void writeTextReport(const ConvertReport& report, std::ostream& out) {
    for (const SpecimenReport& r : report.specimens) {
        const SpecimenColumn& c = r.column;
        const ResultHeadings& h = r.headings;
        auto row = [&](const std::string& label, const std::string& value) {
            out << "  " << label << std::string(label.size() < 36 ? 36 - label.size() : 1, ' ')
                << value << '\n';
        };
        out << "Specimen " << r.specimen << ": " << r.file << '\n';
        if (r.summary) writeSummary(*r.summary, out);
        if (report.testType == kDirectShear) row("Cycles in file:", c.cyclesInFile);
        row("Readings in File", c.readingsInFile);
        if (h.cycleReadingsEnabled) row("Cycles/Readings before filtering:", c.cycleReadings);
        row("Initial disp. repeats:", c.initialDispRepeats);
        row("Initial load repeats:", c.initialLoadRepeats);
        row(h.normalStressEnabled && !h.normalStress.empty() ? h.normalStress
                                                             : "Vertical pressure:",
            c.normalStress);
        row(h.maxLoad, c.maxLoad);
        row("Readings to be written:", c.readingsToWrite + (c.readingsToWriteRed ? " (!)" : ""));
        row("Readings meeting disp. criteria:", c.metDisp);
        row("Readings meeting load criteria:", c.metLoad);
        row(h.timeOrRate, c.timeOrRate);
        if (r.filterReport)
            for (const std::string& line : filterReportLines(*r.filterReport, r.dispUnit,
                                                             r.testTypeAfterHeader == kDirectShear))
                out << "  " << line << '\n';
        out << '\n';
    }
}

std::string jsonReport(const ConvertReport& report) {
    std::ostringstream out;
    out << "{\"source\":" << report.source << ",\"test_type\":" << report.testType
        << ",\"target\":" << jsonString(report.target) << ",\n \"specimens\":[";
    bool first = true;
    for (const SpecimenReport& r : report.specimens) {
        out << (first ? "" : ",") << "\n  {\"specimen\":" << r.specimen
            << ",\"file\":" << jsonString(r.file) << ",\"readings_in_file\":" << r.readingsInFile
            << ",\"cycles_in_file\":" << r.cyclesInFile << ",\"used_cycles\":" << r.usedCycles
            << ",\"readings_before_filtering\":" << r.readingsBeforeFiltering
            << ",\"initial_disp_repeats\":" << r.initialDispRepeats
            << ",\"initial_load_repeats\":" << r.initialLoadRepeats
            << ",\"max_load\":" << jsonNumber(r.maxLoad)
            << ",\"readings_to_write\":" << r.readingsToWrite << ",\"met_disp\":" << r.metDisp
            << ",\"met_load\":" << r.metLoad << ",\"time_or_rate\":" << jsonNumber(r.timeOrRate)
            << ",\"normal_stress\":" << jsonNumber(r.normalStress)
            << ",\"stress_unit\":" << r.stressUnit << ",\"load_unit\":" << r.loadUnit
            << ",\"disp_unit\":" << r.dispUnit
            << ",\"test_type_after_header\":" << r.testTypeAfterHeader;
        out << ",\"input\":{" << digestMembers(r.input);
        if (r.workbookFile)  // the workbook the file was written from
            out << ",\"workbook\":{\"file\":" << jsonString(*r.workbookFile) << ","
                << digestMembers(r.workbook) << "}";
        out << "}";
        if (r.summary) {
            out << ",\"cycles\":[";
            bool firstRow = true;
            for (const CycleSummaryRow& row : r.summary->rows) {
                out << (firstRow ? "" : ",") << "{\"cycle\":" << row.cycle
                    << ",\"readings\":" << row.readings
                    << ",\"max_horizontal_load\":" << jsonNumber(row.maxHorLoad)
                    << ",\"min_horizontal_load\":" << jsonNumber(row.minHorLoad)
                    << ",\"max_aux\":" << jsonNumber(row.maxAux)
                    << ",\"horizontal_displacement\":" << jsonNumber(row.horDisp)
                    << ",\"direction\":" << jsonString(row.direction)
                    << ",\"used\":" << (row.used ? "true" : "false") << "}";
                firstRow = false;
            }
            out << "]";
        }
        writeFilterReport(r.filterReport, out);
        out << "}";
        first = false;
    }
    out << "],\n \"program\":{\"name\":\"plovix-convert\",\"version\":"
        << jsonString(report.version) << "},\n \"settings\":{\"file\":"
        << (report.settingsFile ? jsonString(*report.settingsFile) : "null") << ",\"values\":{";
    first = true;
    for (const auto& [key, text] : report.settingValues) {
        out << (first ? "" : ",") << jsonString(key) << ":" << jsonString(text);
        first = false;
    }
    out << "}},\n \"output\":";
    if (report.output) {
        out << "{\"file\":" << jsonString(report.output->file) << ","
            << digestMembers(report.output->digest) << "}";
    } else {
        out << "null";
    }
    out << ",\n \"messages\":[";
    first = true;
    for (const std::string& m : report.messages) {
        out << (first ? "" : ",") << "\n  " << jsonString(m);
        first = false;
    }
    out << "],\n \"exit_code\":" << report.exitCode << "}\n";
    return out.str();
}

}  // namespace plovix::cli
