#include <cmath>
#include <cstdio>
#include <ostream>
#include <sstream>

#include "app/session.h"
#include "cli/convert.h"
#include "text/number_format.h"

namespace plovix::cli {

namespace {

std::string jsonString(const std::string& text) {
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
                } else if (c >= 0x80) {
                    // Files are Windows-1252; JSON is UTF-8. The code page's letters above
                    // 0x9F match Latin-1; the rest become "?".
                    if (c >= 0xA0) {
                        out += static_cast<char>(0xC0 | (c >> 6));
                        out += static_cast<char>(0x80 | (c & 0x3F));
                    } else {
                        out += '?';
                    }
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
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
        out << "}";
        first = false;
    }
    out << "],\n \"messages\":[";
    first = true;
    for (const std::string& m : report.messages) {
        out << (first ? "" : ",") << "\n  " << jsonString(m);
        first = false;
    }
    out << "],\n \"exit_code\":" << report.exitCode << "}\n";
    return out.str();
}

}  // namespace plovix::cli
