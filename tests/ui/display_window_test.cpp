// The data display window offscreen (its list, PDF, printers and plot) and plovix-convert --plot.

#include <QAction>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <functional>
#include <memory>

#include "display/data_display.h"
#include "sources/source_codes.h"
#include "support/offscreen.h"
#include "support/recording_operator.h"
#include "ui/display_window.h"
#include "ui/main_window.h"
#include "ui/print_lines.h"
#include "workflow/start_session.h"

namespace {

using plovix::ui::DisplayWindow;
using plovix::ui::MainWindow;

const QString kExamples = QStringLiteral(PLOVIX_TEST_DATA "/../../data/examples");

// Hands each modal window in front during `action` to `answer` (not blocking) until it says true.
void whileModal(const std::function<void()>& action, const std::function<bool(QWidget*)>& answer) {
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (w != nullptr && w->isVisible() && !w->property("answered").toBool())
            w->setProperty("answered", answer(w));
    });
    timer.start();
    action();
}

// Answers a file dialog with `path`; false for any other window.
bool chooseFile(QWidget* m, const QString& path) {
    auto* dialog = qobject_cast<QFileDialog*>(m);
    if (dialog == nullptr) return false;
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
    return true;
}

void later(QAbstractButton* button) {
    QTimer::singleShot(0, button, &QAbstractButton::click);
}

// The page count of a PDF, from its page tree.
int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression count(
        QStringLiteral("/Type\\s*/Pages\\b[^>]*/Count\\s+(\\d+)"));
    const QRegularExpressionMatch m = count.match(QString::fromLatin1(f.readAll()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A PDF's text by pdftotext (empty without it); with `pitch` (points), in columns of that width.
QString pdfText(const QString& path, double pitch = 0) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) return {};
    QStringList args{QStringLiteral("-layout")};
    if (pitch > 0) args = QStringList{QStringLiteral("-fixed"), QString::number(pitch)};
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args + QStringList{path, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The lines that carry text, blanks around them dropped, with the clock's line cut to its label.
QStringList textLines(const QStringList& lines) {
    QStringList out;
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1String("Date Printed..")) ||
            line.startsWith(QLatin1String("Time Printed..")))
            line.truncate(14);
        if (!line.isEmpty()) out << line;
    }
    return out;
}

// A GeoTest direct shear file: the bundled example's header, then one cycle of `readings`.
QString writeGeoTestFile(const QString& path, int readings) {
    QFile example(kExamples + QStringLiteral("/shear_box_3cycles.LST"));
    example.open(QIODevice::ReadOnly);
    QByteArray text;
    while (!example.atEnd()) {
        const QByteArray line = example.readLine();
        text += line;
        if (line.startsWith("-----")) break;
    }
    for (int i = 1; i <= readings; ++i) {
        const double disp = i * 0.0001, load = 300 * (1 - std::exp(-i / 400.0)) + (i % 7) * 0.3;
        text += QString::asprintf("%7d%10.2f%10.5f%9.1f%10.1f%10.5f%9.1f\r\n", i, i * 0.05, disp,
                                  load, load * 29.3, disp / 40, 1000.0)
                    .toLatin1();
    }
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(text);
    return path;
}

// The main window over GeoTest direct shear settings of its own, with specimen 1 read.
struct Window {
    QTemporaryDir dir;
    plovix::Session session;
    std::unique_ptr<MainWindow> window;

    explicit Window(const QString& daFile) {
        QFile ini(dir.filePath(QStringLiteral("Plovix.INI")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write(
                "[FiltTol]\r\nIncMax=0.01\r\nTolerance=5\r\n[Settings]\r\nDAT=2\r\nLTTU=2\r\n");
        ini.close();
        plovix::startSession(session, ini.fileName().toStdString());
        window = std::make_unique<MainWindow>(session);
        window->start("");
        whileModal(
            [&] { window->findChild<QPushButton*>(QStringLiteral("cmdGetDAFile1"))->click(); },
            [&](QWidget* w) { return chooseFile(w, daFile); });
    }
};

}  // namespace

class DisplayWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { plovix::testing::quietOffscreen(); }

    // From the menu: the engine's lines, listed and in the PDF in a fixed-pitch font; the plot.
    void theMenuOpensTheDisplayAndItsPdfHoldsEveryLine() {
        QTemporaryDir tmp;
        // A folder name long enough that the file name line does not fit across the paper.
        const QString folder = tmp.filePath(
            QStringLiteral("a_folder_whose_name_is_long_enough_to_run_past_the_edge_of_the_paper"));
        QDir().mkpath(folder);
        Window w(writeGeoTestFile(folder + QStringLiteral("/LONG.LST"), 3000));
        plovix::testing::RecordingOperator op;
        QStringList engine;
        for (const std::string& line : plovix::displayLines(w.session, op, plovix::PrintedAt{}))
            engine << QString::fromStdString(line);

        const QString pdf = tmp.filePath(QStringLiteral("display.pdf"));
        QStringList listed;
        QString current, report, title;
        bool resized = false;
        qsizetype plotSeries = 0;
        enum { Looking, Saving, Saved } state = Looking;
        whileModal(
            [&] { w.window->findChild<QAction*>(QStringLiteral("mnuDispData"))->trigger(); },
            [&](QWidget* m) {
                if (chooseFile(m, pdf)) {  // the PDF is written now
                    state = Saved;
                    return true;
                }
                auto* display = qobject_cast<DisplayWindow*>(m);
                if (display == nullptr || state == Saving) return false;
                if (state == Saved) {
                    later(display->findChild<QPushButton*>(QStringLiteral("cmdQuit")));
                    return true;
                }
                auto* list = display->findChild<QListView*>(QStringLiteral("List1"));
                if (!QTest::qWaitFor([&] { return list->model()->rowCount() > 0; }, 30000))
                    return false;
                title = display->windowTitle();
                for (int row = 0; row < list->model()->rowCount(); ++row)
                    listed << list->model()->index(row, 0).data().toString();
                const QModelIndex third = list->model()->index(2, 0);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualRect(third).center());
                current = display->findChild<QPlainTextEdit*>(QStringLiteral("txtCurrentLine"))
                              ->toPlainText();
                // A resize reads the file again; the line clicked stays the current one.
                QSignalSpy rebuilt(list->model(), &QAbstractItemModel::modelReset);
                display->resize(display->size() + QSize(40, 30));
                resized = rebuilt.wait(10000) && list->currentIndex().row() == 2;
                display->findChild<QTabWidget*>()->setCurrentIndex(1);
                plotSeries = display->findChild<QChartView*>()->chart()->series().size();
                report = display->findChild<QPlainTextEdit*>(QStringLiteral("txtFilterReport"))
                             ->toPlainText();
                display->findChild<QTabWidget*>()->setCurrentIndex(0);
                later(display->findChild<QPushButton*>(QStringLiteral("cmdSavePdf")));
                state = Saving;
                return false;  // closed once the PDF is written
            });

        QCOMPARE(title, "GeoTest Import Data Display");
        QCOMPARE(textLines(listed), textLines(engine));
        QCOMPARE(current, listed[2]);
        QVERIFY(resized);
        QCOMPARE(plotSeries, 2);  // the dropped readings and the one cycle
        QVERIFY(report.startsWith("FILTER REPORT"));

        QVERIFY(QFontInfo(plovix::ui::displayPrintFont(plovix::kGeoTest)).fixedPitch());
        const int pages = pdfPages(pdf);
        QVERIFY2(pages > 50, qPrintable(QString::number(pages)));
        // In columns of a 10-point fixed-pitch font (0.6 em): a proportional one would not fit.
        const QString text = pdfText(pdf, 6);
        if (text.isEmpty()) QSKIP("pdftotext is not installed: the PDF's text is not read");
        QCOMPARE(text.count(QLatin1Char('\f')), pages);
        QStringList printed = textLines(text.split(QRegularExpression(QStringLiteral("[\\n\\f]"))));
        // The long line goes on in the next printed line, nothing of it lost.
        const qsizetype fileName =
            printed.indexOf(QRegularExpression(QStringLiteral("File Name.*")));
        QVERIFY(fileName >= 0 && fileName + 1 < printed.size());
        printed[fileName] += printed.takeAt(fileName + 1);
        QCOMPARE(printed, textLines(engine));
    }

    // Without a printer a PDF is offered; the list grows at each showing, a gone one is refused.
    void withoutAPrinterThePdfIsOfferedAndThePrinterListIsAppended() {
        Window w(kExamples + QStringLiteral("/shear_box_3cycles.LST"));
        QString printer = QStringLiteral("Before");
        DisplayWindow display(w.window->workflow(), printer, w.window.get());
        QStringList installed;
        display.setInstalledPrinters([&] { return installed; });
        display.show();

        QString told;
        whileModal([&] { display.findChild<QPushButton*>(QStringLiteral("cmdPrint"))->click(); },
                   [&](QWidget* m) {
                       auto* box = qobject_cast<QMessageBox*>(m);
                       if (box == nullptr) return false;
                       told =
                           box->text() + QLatin1Char('|') + box->button(QMessageBox::Save)->text();
                       later(box->button(QMessageBox::Cancel));
                       return true;
                   });
        QCOMPARE(told,
                 "No printer is installed on this computer. What the window shows can be saved "
                 "as a PDF file instead.|Save as PDF...");

        installed = {QStringLiteral("Laser"), QStringLiteral("Plotter")};
        auto* show = display.findChild<QPushButton*>(QStringLiteral("cmdPrintSet"));
        auto* list = display.findChild<QComboBox*>(QStringLiteral("cmbPrinters"));
        QVERIFY(!list->isVisible());
        show->click();
        QCOMPARE(show->text(), "Hide Printers");
        QVERIFY(list->isVisible());
        show->click();
        QCOMPARE(show->text(), "Show Printers");
        show->click();
        QCOMPARE(list->count(), 4);
        installed.removeLast();  // the plotter is taken away meanwhile
        emit list->textActivated(QStringLiteral("Plotter"));
        QCOMPARE(printer, "Before");
        emit list->textActivated(QStringLiteral("Laser"));
        QCOMPARE(printer, "Laser");
    }

    // A plot per specimen ("-N" files): each cycle in its colour, dropped readings grey; PDF too.
    void theConverterWritesThePlotOfEachSpecimen() {
        QTemporaryDir tmp;
        const QString example = kExamples + QStringLiteral("/shear_box_3cycles.LST");
        const auto plot = [&](const QString& file, const QStringList& inputs) {
            QProcess p;
            p.start(QStringLiteral(PLOVIX_CONVERT),
                    QStringList{"--settings", kExamples + "/example.ini", "--plot", file} + inputs);
            return p.waitForFinished(60000) ? p.exitCode() : -1;
        };
        QCOMPARE(plot(tmp.filePath("plot.png"), {example, example}), 0);
        for (const char* name : {"plot-1.png", "plot-2.png"}) {
            const QImage image(tmp.filePath(QLatin1String(name)));
            QCOMPARE(image.size(), QSize(1200, 800));
            // Pixels of the first three cycles' colours and of the dropped readings' grey.
            int blue = 0, red = 0, green = 0, grey = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = image.pixel(x, y) & 0xffffff;
                    blue += p == 0x1f77b4, red += p == 0xd62728, green += p == 0x2ca02c;
                    grey += p == 0xa0a0a0;
                }
            QVERIFY2(
                blue > 500 && red > 500 && green > 500 && grey > 50,
                qPrintable(QStringLiteral("%1 %2 %3 %4").arg(blue).arg(red).arg(green).arg(grey)));
        }

        QCOMPARE(plot(tmp.filePath("plot.PDF"), {example}), 0);
        QCOMPARE(pdfPages(tmp.filePath(QStringLiteral("plot.PDF"))), 1);
        const QString text = pdfText(tmp.filePath(QStringLiteral("plot.PDF")));
        if (text.isEmpty()) QSKIP("pdftotext is not installed: the PDF's text is not read");
        QVERIFY(text.contains("Criteria: displacement 0.01 in, load 5 % of the maximum load"));
    }
};

QTEST_MAIN(DisplayWindowTest)
#include "display_window_test.moc"
