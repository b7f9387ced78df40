// plovix-convert: the headless converter. Reads up to four D/A files as the window does and
// reports what the reading pass keeps of each.

#include <unistd.h>

#include <fstream>
#include <iostream>

#include "app/atomic_file.h"
#include "cli/convert.h"
#include "cli/options.h"

#ifdef PLOVIX_WITH_PLOT
#include <QApplication>
#include <QFile>
#include <optional>

#include "plot/plot_chart.h"
#endif

int main(int argc, char** argv) {
    using namespace plovix::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = parseOptions(args);
    if (parsed.options.help) {
        std::cout << kUsage;
        return kExitDone;
    }
    if (parsed.options.version) {
        std::cout << "plovix-convert " << programVersion() << '\n';
        return kExitDone;
    }
    if (!parsed.error.empty()) {
        std::cerr << "plovix-convert: " << parsed.error << "\n\n" << kUsage;
        return kExitUsage;
    }
    const ConvertOptions& options = parsed.options;
    PlotWriter plotWriter;
#ifdef PLOVIX_WITH_PLOT
    // The plot is drawn by Qt, without a display: only when it is asked for, so that the
    // converter needs no toolkit otherwise.
    std::optional<QApplication> qt;
    if (options.plotFile) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qt.emplace(argc, argv);
        plotWriter = [](const plovix::PlotData& plot,
                        const std::string& path) -> std::optional<std::string> {
            if (const auto error = plovix::plot::savePlot(plot, QFile::decodeName(path.c_str())))
                return error->toStdString();
            return std::nullopt;
        };
    }
#endif
    const ConvertReport report =
        runConvert(options, std::cerr, ::isatty(STDERR_FILENO) == 1, &std::cout, plotWriter);

    const bool jsonOnStdout = options.jsonFile && *options.jsonFile == "-";
    // With "--display -" standard output holds the display, and the report goes only to a
    // --json file.
    const bool displayOnStdout = options.displayFile && *options.displayFile == "-";
    if (jsonOnStdout) {
        std::cout << jsonReport(report);
    } else if (!displayOnStdout) {
        writeTextReport(report, std::cout);
    }
    if (options.jsonFile && !jsonOnStdout) {
        if (const auto error = plovix::writeFileAtomically(*options.jsonFile, jsonReport(report))) {
            std::cerr << "plovix-convert: cannot write " << *options.jsonFile << ": "
                      << error.message() << '\n';
            return report.exitCode == kExitDone ? kExitUsage : report.exitCode;
        }
    }
    return report.exitCode;
}
