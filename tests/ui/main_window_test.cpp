// The real window on the offscreen platform: its controls are found by their names, its file
// dialogs and message boxes are answered as an operator would, and the Norvo file it writes is
// compared with the converter's.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>

#include "app/version.h"
#include "support/offscreen.h"
#include "ui/cycle_panel.h"
#include "ui/help_window.h"
#include "ui/import_panel.h"
#include "ui/main_window.h"
#include "ui/results_panel.h"
#include "ui/single_instance.h"
#include "workflow/start_session.h"

namespace {

using plovix::ui::MainWindow;

const QString kData = QStringLiteral(PLOVIX_TEST_DATA);

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers each modal window opened during an action and records it: a file dialog with the next
// path (empty: Cancel), a message box with the next button (else OK), another window with the
// next of `windows`, else the About box with OK. Nested modal windows need a `during` of their own.
struct ModalAnswers {
    struct Shown {
        QString title{}, text{};
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList filters{};  // file dialogs
        QString folder{}, fileName{};
    };
    std::deque<QString> files;
    std::deque<QMessageBox::StandardButton> buttons;
    std::deque<std::function<void(QWidget*)>> windows;
    QList<Shown> messages, dialogs;

    void during(const std::function<void()>& action) {
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start();
        action();
    }
    QStringList texts() const {
        QStringList out;
        for (const Shown& m : messages) out << m.text;
        return out;
    }

  private:
    void answer() {
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr || w->property("answered").toBool() || !w->isVisible()) return;
        w->setProperty("answered", true);
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            messages.append(
                {.title = box->windowTitle(), .text = box->text(), .icon = box->icon()});
            QMessageBox::StandardButton b = QMessageBox::Ok;
            if (!buttons.empty()) b = buttons.front(), buttons.pop_front();
            box->button(b)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
            dialogs.append({.title = dialog->windowTitle(),
                            .filters = dialog->nameFilters(),
                            .folder = dialog->directory().absolutePath(),
                            .fileName = QFileInfo(dialog->selectedFiles().value(0)).fileName()});
            const QString path = files.empty() ? QString() : files.front();
            if (!files.empty()) files.pop_front();
            if (path.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(path);
                static_cast<QDialog*>(dialog)->accept();  // as the Open button does
            }
        } else if (!windows.empty()) {
            const auto script = windows.front();
            windows.pop_front();
            script(w);
            if (w->isVisible()) w->close();  // a script that failed half-way
        } else if (auto* ok = w->findChild<QPushButton*>(QStringLiteral("cmdOK"))) {
            auto* version = w->findChild<QLabel*>(QStringLiteral("lblVersion"));
            messages.append(
                {.title = w->windowTitle(), .text = version ? version->text() : QString()});
            ok->click();
        } else {  // fails the test through its record instead of hanging it
            messages.append({.title = QStringLiteral("unexpected: ") + w->windowTitle()});
            w->close();
        }
    }
};

// Counts the passes (the progress bar shows for each) and whether the window took input meanwhile.
struct PassCounter : QObject {
    PassCounter(QWidget* progress, QMainWindow* window) : window(window) {
        progress->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++count;
            enabledDuringPass |=
                window->centralWidget()->isEnabled() || window->menuBar()->isEnabled();
        }
        return false;
    }
    QMainWindow* window;
    int count = 0;
    bool enabledDuringPass = false;
};

// A window over a settings file of its own, started as the program starts it.
struct Window {
    QTemporaryDir dir;
    QString ini = dir.filePath(QStringLiteral("Plovix.INI"));
    plovix::Session session;
    std::unique_ptr<MainWindow> window;
    ModalAnswers modal;

    explicit Window(const QString& settings, const std::string& commandLine = "") {
        QFile f(ini);
        f.open(QIODevice::WriteOnly);
        f.write(settings.toUtf8());
        f.close();
        plovix::startSession(session, ini.toStdString());
        window = std::make_unique<MainWindow>(session);
        window->start(commandLine);
    }
    // Settings for `source` with test type `test`, NV.DDT found in the data folder.
    static QString settings(int source, int test, const QString& more = {}) {
        return QStringLiteral(
                   "[Files]\r\nNorvoProgPath=%1/\r\n[Settings]\r\nDAT=%2\r\nLTTU=%3\r\n%4")
            .arg(QStringLiteral(PLOVIX_TEST_DATA "/../../data"))
            .arg(source)
            .arg(test)
            .arg(more);
    }
    template <class T>
    T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (w == nullptr) qFatal("no control %s", qPrintable(name));
        return w;
    }
    QString text(const QString& label) const { return find<QLabel>(label)->text(); }
    QString copy(const QString& fixture, const QString& as) {
        const QString to = dir.filePath(as);
        QFile::remove(to);
        QFile::copy(kData + QLatin1Char('/') + fixture, to);
        return to;
    }
    void click(const QString& button) {
        modal.during([&] { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); });
    }
    void menu(const QString& item) {
        modal.during([&] { find<QAction>(item)->trigger(); });
    }
    // "Select D/A File" of specimen n, answered with `path` (empty: Cancel).
    void choose(int n, const QString& path) {
        modal.files.push_back(path);
        click(QStringLiteral("cmdGetDAFile%1").arg(n));
    }
    void chooseNorvoFile(const QString& path) {
        modal.files.push_back(path);
        click(QStringLiteral("cmdNorvoName"));
    }
    void drop(int n, const QString& path) {
        auto* results = window->importPanel()->results();
        const QPoint at = results->column(n).number->geometry().center();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        modal.during([&] {
            QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(results, &enter);
            QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(results, &dropped);
        });
    }
    void enterIn(const QString& box) {
        modal.during([&] { QTest::keyClick(find<QLineEdit>(box), Qt::Key_Return); });
    }
    // "&Settings", with `script` run on the open dialog before its Close is clicked.
    void settingsDialog(const std::function<void(QWidget*)>& script) {
        modal.windows.push_back([script](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), "frmSettings");
            script(dialog);
            QTest::mouseClick(child<QPushButton>(dialog, "cmdClose"), Qt::LeftButton);
        });
        menu("mnuSettings");
    }
    QTextBrowser* help() const { return window->helpWindow()->browser(); }

    template <class T>
    static T* child(QWidget* parent, const QString& name) {
        T* w = parent->findChild<T*>(name);
        if (w == nullptr) qFatal("no control %s", qPrintable(name));
        return w;
    }
    static void typeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // F1 where the operator is: in `w`, made the active window.
    static void pressF1(QWidget* w) {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_F1);
    }
    static void chooseFromList(QComboBox* list, int index) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { plovix::testing::quietOffscreen(); }

    void eachSourceOffersOnlyItsTestTypes() {
        Window enkay(Window::settings(7, 5));
        auto* list = enkay.find<QComboBox>("cmbTestType");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);  // towards Consolidated Drained: not allowed
        QCOMPARE(list->currentText(), "CU with Pore Pressures");
        QTest::keyClick(list, Qt::Key_Home);  // Unconfined Compression: not allowed
        QCOMPARE(list->currentText(), "CU with Pore Pressures");

        Window geotest(Window::settings(2, 2));
        QCOMPARE(geotest.window->windowTitle(), "GeoTest Import for the KALVORN Norvo Program");
        QVERIFY(geotest.window->focusWidget() == geotest.find<QPushButton>("cmdGetDAFile1"));
    }

    void importInSequenceApplyAndTickCycles() {
        Window w(Window::settings(2, 2));
        // Specimen 3 before 2, by a click on its number, opens no dialog.
        w.modal.during([&] {
            QTest::mouseClick(w.window->importPanel()->results()->column(3).number, Qt::LeftButton);
        });
        QCOMPARE(w.modal.texts(), QStringList("Must get specimens in sequence"));
        QVERIFY(w.modal.dialogs.isEmpty());
        QVERIFY(!w.find<QPushButton>("cmdGetDAFile2")->isVisible());
        QVERIFY(w.find<QPushButton>("CMDaPPLY")->isEnabled());  // filling the boxes armed it

        const QString first = w.copy("geotest/pass_three_cycles.LST", "DS1.LST");
        w.choose(1, first);
        const ModalAnswers::Shown& asked = w.modal.dialogs.last();
        QCOMPARE(asked.title, "Select the GeoTest Data Acquisition file to import for specimen 1");
        QCOMPARE(asked.filters, QStringList{"GeoTest files (*.[lL][sS][tT])"});
        QCOMPARE(w.text("lblDAName1"), "DS1.LST");
        QCOMPARE(w.find<QLabel>("lblDAName1")->toolTip(), first);
        QVERIFY(w.window->focusWidget() == w.find<QPushButton>("cmdGetDAFile1"));
        QVERIFY(w.find<QPushButton>("cmdGetDAFile2")->isVisible());
        QVERIFY(w.find<QCheckBox>("chkSDR1")->isVisible());
        QVERIFY(w.find<QLabel>("lblStatus")->styleSheet().contains("#008000"));
        QVERIFY(!w.find<QPushButton>("CMDaPPLY")->isEnabled());

        // 0.1 and Enter applies once (the file, changed on the disk meanwhile, is read again);
        // Enter again only moves on to the load box.
        QFile::remove(first);
        QFile::copy(kData + "/geotest/lst_ds_reversing.LST", first);
        PassCounter passes(w.find<QProgressBar>("prgPass"), w.window.get());
        Window::typeInto(w.find<QLineEdit>("txtFacTol1"), "0.1");
        QVERIFY(w.find<QPushButton>("CMDaPPLY")->isEnabled());
        w.enterIn("txtFacTol1");
        QCOMPARE(passes.count, 1);
        QVERIFY(!passes.enabledDuringPass);
        QVERIFY(!w.find<QPushButton>("CMDaPPLY")->isEnabled());
        QCOMPARE(w.text("lblNumNorvoRead1"), "9");
        w.enterIn("txtFacTol1");
        QVERIFY(w.window->focusWidget() == w.find<QLineEdit>("txtFacTol2"));
        QCOMPARE(passes.count, 1);
        QCOMPARE(w.find<QLineEdit>("txtFacTol1")->text(), "0.1");

        // Cancel keeps the file (offered again, in its folder); settings are closed once a
        // specimen is in.
        w.choose(1, QString());
        QCOMPARE(w.text("lblDAName1"), "DS1.LST");
        QCOMPARE(w.modal.dialogs.last().folder, w.dir.path());
        QCOMPARE(w.modal.dialogs.last().fileName, "DS1.LST");
        w.modal.messages.clear();
        w.menu("mnuSettings");
        QCOMPARE(w.modal.messages.size(), 1);
        QCOMPARE(w.modal.messages[0].icon, QMessageBox::Warning);

        // Specimen 2 dropped on its column; then its cycles.
        w.drop(2, w.copy("geotest/pass_three_cycles.LST", "DS2.LST"));
        QCOMPARE(w.text("lblDAName2"), "DS2.LST");
        QVERIFY(w.find<QPushButton>("cmdGetDAFile3")->isVisible());
        const QString allCycles = w.text("lblNumNorvoRead2");
        w.menu("mnuSelectPanel");
        QVERIFY(w.window->cyclePanel()->isVisible());
        QCOMPARE(w.find<QAction>("mnuSelectPanel")->text(), "&D/A import");
        QCOMPARE(w.text("lblSN"), "2");
        QCOMPARE(w.text("lblTotNumCyclesUsed"), "3");
        QVERIFY(!w.find<QCheckBox>("chkUse4")->isVisible());
        const int readings = w.text("lblTotNumReadUsed").toInt();
        const int second = w.text("lblNumRead2").toInt();
        QTest::mouseClick(w.find<QCheckBox>("chkUse2"), Qt::LeftButton);
        QCOMPARE(w.text("lblTotNumCyclesUsed"), "2");
        QCOMPARE(w.text("lblTotNumReadUsed").toInt(), readings - second);
        w.menu("mnuSelectPanel");
        QVERIFY(w.window->importPanel()->isVisible());
        QVERIFY(w.text("lblNumNorvoRead2") != allCycles);
        QCOMPARE(w.modal.messages.size(), 1);
    }

    void saveAndExitChecksAndWinFile() {
        QTemporaryDir noDefaults;
        Window w(Window::settings(2, 2).replace(PLOVIX_TEST_DATA "/../../data", noDefaults.path()));
        w.choose(1, w.copy("geotest/pass_three_cycles.LST", "DS1.LST"));
        w.menu("mnuExport");
        w.chooseNorvoFile(w.dir.filePath("TEST.NDT"));
        QCOMPARE(w.text("lblNorvoName"), "TEST.NDT");
        QCOMPARE(w.find<QLabel>("Label10")->toolTip(), w.dir.filePath("TEST.NDT"));
        w.menu("mnuExport");
        QCOMPARE(w.modal.texts(),
                 QStringList({"A NORVO file name must be selected before exporting",
                              "Could not find: " + noDefaults.path() +
                                  "/NV.DDT. Make sure\na valid path to NORVO data files is "
                                  "entered on the Settings screen"}));
        QCOMPARE(w.modal.messages[1].title, "Plovix");
        QCOMPARE(w.modal.messages[1].icon, QMessageBox::NoIcon);
        QVERIFY(w.window->isVisible());

        // Started by Norvo: its file is fixed.
        const QString norvo = w.dir.filePath("NORVO.NDT");
        Window started(
            Window::settings(2, 2).replace(PLOVIX_TEST_DATA "/../../data", noDefaults.path()),
            "WINFILE=\"" + norvo.toStdString() + "\"");
        QVERIFY(!started.find<QPushButton>("cmdNorvoName")->isEnabled());
        QVERIFY(!started.find<QRadioButton>("optNorvoVersion1")->isEnabled());
        QVERIFY(started.find<QRadioButton>("optNorvoVersion0")->isChecked());
        QCOMPARE(started.text("lblNorvoName"), "NORVO.NDT");
    }

    void newTestSavesSettingsAndAFailedSaveIsReported() {
        Window w(Window::settings(2, 2));
        w.choose(1, w.copy("geotest/pass_three_cycles.LST", "DS1.LST"));
        w.choose(2, w.copy("geotest/pass_three_cycles.LST", "DS2.LST"));
        Window::typeInto(w.find<QLineEdit>("txtFacTol2"), "7");
        w.menu("mnuNewTest");
        QCOMPARE(w.text("lblDAName1"), "");
        QVERIFY(!w.find<QLabel>("lblDAName2")->isVisible());
        QVERIFY(!w.find<QPushButton>("cmdGetDAFile2")->isVisible());
        QVERIFY(bytesOf(w.ini).contains("Tolerance=7\r\n"));

        // The settings file cannot be written: closing says so, and still closes.
        w.session.program.IniFile = w.dir.filePath("DS1.LST/Plovix.INI").toStdString();
        w.modal.during([&] { w.window->close(); });
        QCOMPARE(w.modal.messages.size(), 1);
        QVERIFY(w.modal.messages[0].text.startsWith("The settings could not be saved to "));
        QVERIFY(!w.window->isVisible());
    }

    void aHumboldtWorkbookFillsTheSpecimensInOneChoice() {
        Window w(Window::settings(6, 2, "HUMREADXL=True\r\nHUMFTHSD=True\r\n"));
        w.choose(1, w.copy("humboldt/workbook_direct_shear.xls", "TEST.XLS"));
        QCOMPARE(w.modal.dialogs.last().filters,
                 QStringList{"Humboldt XL files (*.[xX][lL][sS] *.[xX][lL][sS][xX])"});
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(w.text(QStringLiteral("lblDAName%1").arg(n)),
                     QStringLiteral("TEST%1.TXT").arg(n));
            QVERIFY(!w.text(QStringLiteral("lblNumNorvoRead%1").arg(n)).isEmpty());
        }
        QVERIFY(w.find<QPushButton>("cmdGetDAFile4")->isVisible());
        QVERIFY(!w.find<QLabel>("lblDAName4")->isVisible());
    }

    void theWindowWritesTheConvertersNorvoFile_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("test");
        QTest::addColumn<QString>("more");
        QTest::addColumn<QStringList>("fixtures");
        QTest::newRow("GeoTest, two specimens")
            << 2 << 2 << QString()
            << QStringList{"geotest/lst_ds_reversing.LST", "geotest/pass_three_cycles.LST"};
        QTest::newRow("Humboldt workbook")
            << 6 << 2 << QStringLiteral("HUMREADXL=True\r\nHUMFTHSD=True\r\n")
            << QStringList{"humboldt/workbook_direct_shear.xls"};
    }
    void theWindowWritesTheConvertersNorvoFile() {
        QFETCH(int, source);
        QFETCH(int, test);
        QFETCH(QString, more);
        QFETCH(QStringList, fixtures);
        Window w(Window::settings(source, test, more));
        const QString settings = w.dir.filePath("converter.ini");
        QFile::copy(w.ini, settings);
        QStringList files;
        for (const QString& fixture : fixtures) {
            files << w.copy(fixture, QStringLiteral("S%1.").arg(files.size() + 1) +
                                         QFileInfo(fixture).suffix());
            w.choose(static_cast<int>(files.size()), files.last());
        }
        QDir(w.dir.path()).mkdir("window");
        QDir(w.dir.path()).mkdir("converter");
        w.chooseNorvoFile(w.dir.filePath("window/TEST.NDT"));
        w.menu("mnuExport");
        QCOMPARE(w.modal.texts(), QStringList());
        QVERIFY(!w.window->isVisible());

        QProcess converter;
        converter.start(
            QStringLiteral(PLOVIX_CONVERT),
            QStringList{"--settings", settings, "--source", QString::number(source), "--test",
                        QString::number(test), "-o", w.dir.filePath("converter/TEST.NDT")} +
                files);
        QVERIFY(converter.waitForFinished(60000));
        QCOMPARE(converter.exitCode(), 0);
        const QByteArray written = bytesOf(w.dir.filePath("window/TEST.NDT"));
        QVERIFY(written.size() > 100);
        QCOMPARE(written, bytesOf(w.dir.filePath("converter/TEST.NDT")));
    }

    void aboutShowsTheVersionCentredOverTheWindow() {
        Window w(Window::settings(2, 2));
        w.window->move(20, 30);  // anywhere but the middle of the screen
        QPoint centre;
        w.modal.windows.push_back([&](QWidget* about) {
            centre = about->frameGeometry().center();
            QTest::mouseClick(Window::child<QPushButton>(about, "cmdOK"), Qt::LeftButton);
        });
        w.menu("mnuAbout");
        QVERIFY((centre - w.window->frameGeometry().center()).manhattanLength() <= 2);
        w.menu("mnuAbout");
        QCOMPARE(w.modal.messages.size(), 1);
        QCOMPARE(w.modal.messages[0].title, "About Plovix");
        QCOMPARE(w.modal.messages[0].text,
                 "Product version: " + QString::fromStdString(plovix::appVersionText()).trimmed());
    }

    void settingsDialogEditsReachTheWindowAndTheSettingsFile() {
        Window w(Window::settings(2, 5, "HUMREADXL=True\r\nGEOTACIPM=False\r\n"));
        QFile(w.dir.filePath("NV.EXE")).open(QIODevice::WriteOnly);
        w.settingsDialog([&](QWidget* d) {
            auto* sources = Window::child<QComboBox>(d, "cmbDATypes");
            QCOMPARE(sources->count(), 8);  // not started by Norvo, all the same
            QCOMPARE(sources->currentText(), "GeoTest");
            QVERIFY(Window::child<QWidget>(d, "PropertyFrames1")->isVisible());

            // A workbook column is one letter.
            Window::chooseFromList(sources, 5);
            QVERIFY(Window::child<QWidget>(d, "PropertyFrames5")->isVisible());
            const auto column = [&](int row) {
                return Window::child<QLineEdit>(d, QStringLiteral("txtReadingCol%1").arg(row));
            };
            w.modal.during([&] {
                Window::typeInto(column(0), "AB");
                Window::typeInto(column(2), "D");
            });
            QCOMPARE(w.modal.texts(),
                     QStringList("This value must be a single letter of the alphabet"));
            QCOMPARE(w.modal.messages[0].icon, QMessageBox::Information);
            QCOMPARE(column(0)->text(), "");
            QCOMPARE(column(2)->text(), "D");

            // Browse: NV.EXE stands for its folder.
            w.modal.files = {w.dir.filePath("NV.EXE")};
            w.modal.during([&] {
                QTest::mouseClick(Window::child<QPushButton>(d, "cmdSelect"), Qt::LeftButton);
            });
            QCOMPARE(Window::child<QLineEdit>(d, "txtNorvoProgram")->text(), w.dir.path() + "/");

            // GEOTAC: one rate box at a time.
            Window::chooseFromList(sources, 4);
            const auto rate = [&](const char* name) {
                return Window::child<QCheckBox>(d, name)->isChecked();
            };
            QVERIFY(rate("chkRateOfStrain") && !rate("chkInchPerMin"));
            QTest::mouseClick(Window::child<QCheckBox>(d, "chkInchPerMin"), Qt::LeftButton);
            QVERIFY(rate("chkInchPerMin") && !rate("chkRateOfStrain") && !rate("chkTimeOfTest"));
            Window::typeInto(Window::child<QLineEdit>(d, "txtLRCSD361"), "1234.5");
            QCOMPARE(w.modal.messages.size(), 1);
        });

        // Another source: the window is set up for it.
        QCOMPARE(w.window->windowTitle(), "GEOTAC Import for the KALVORN Norvo Program");
        auto* testType = w.find<QComboBox>("cmbTestType");
        testType->setFocus();
        QTest::keyClick(testType, Qt::Key_Down);  // GeoTest offers no Consolidated Drained
        QCOMPARE(testType->currentText(), "Consolidated Drained");

        // What the dialog stored is saved with the window and reads back.
        w.modal.during([&] { w.window->close(); });
        plovix::Session back;
        plovix::startSession(back, w.ini.toStdString());
        QCOMPARE(back.settings.SourceType, 5);
        QVERIFY(back.settings.GEOTACIPM);
        QVERIFY(!back.settings.GEOTACROS);
        QCOMPARE(back.settings.LRCDS361, 1234.5);
        QCOMPARE(QString::fromStdString(back.settings.NorvoProgPath), w.dir.path() + "/");
        QCOMPARE(back.settings.HumXLCol(3), std::string("D"));
        QCOMPARE(w.modal.messages.size(), 1);
    }

    void genericSettingsShowOnlyTheGeoTestFrame() {
        Window w(Window::settings(5, 2, "Generic=False\r\n"));
        w.settingsDialog([&](QWidget* d) {
            QVERIFY(!Window::child<QComboBox>(d, "cmbDATypes")->isVisible());
            QVERIFY(!Window::child<QLabel>(d, "Label5")->isVisible());
            QVERIFY(Window::child<QWidget>(d, "PropertyFrames1")->isVisible());
        });
        QCOMPARE(w.modal.messages.size(), 0);
    }

    void eachWindowsHelpOpensThePageAboutIt() {
        Window w(Window::settings(2, 2));
        w.menu("mnuHelp");
        QVERIFY(w.window->helpWindow()->isVisible());
        QCOMPARE(w.help()->source().fileName(), "main_window.html");
        QVERIFY(w.help()->toPlainText().contains(w.find<QPushButton>("cmdGetDAFile1")->text()));
        // Its search: pages holding every word from a word's start, those using them most first.
        const auto page = [&](const QString& name, const QString& text) {
            QFile f(w.dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(("<html><head><title>" + name + " - Plovix Help</title></head><body>" + text +
                     "</body></html>")
                        .toUtf8());
        };
        page("once.html", "Load ring");
        page("twice.html", "load rings, LOAD");
        page("inside.html", "unloading a load on filtering");
        plovix::ui::HelpWindow pages(w.dir.path());
        Window::typeInto(Window::child<QLineEdit>(&pages, "txtSearch"), "load ring");
        auto* found = Window::child<QListWidget>(&pages, "lstFound");
        QCOMPARE(found->count(), 2);
        QCOMPARE(found->item(0)->text(), "twice.html");
        QCOMPARE(found->item(1)->text(), "once.html");

        // The settings dialog: the frame in front, from its button and from F1.
        w.settingsDialog([&](QWidget* d) {
            QTest::mouseClick(Window::child<QPushButton>(d, "cmdHelp"), Qt::LeftButton);
            QCOMPARE(w.help()->source().fileName(), "settings.html");
            QCOMPARE(w.help()->source().fragment(), "geotest");
            QVERIFY(w.help()->toPlainText().contains(d->windowTitle()));
            Window::chooseFromList(Window::child<QComboBox>(d, "cmbDATypes"), 4);
            Window::pressF1(d);
            QCOMPARE(w.help()->source().fragment(), "geotac");
            QVERIFY(d->isVisible());
            Window::chooseFromList(Window::child<QComboBox>(d, "cmbDATypes"), 1);  // as it was
        });
        w.modal.windows.push_back([&](QWidget* about) {
            Window::pressF1(about);
            QCOMPARE(w.help()->source().fragment(), "about");
            QVERIFY(w.help()->toPlainText().contains(about->windowTitle()));
            QTest::mouseClick(Window::child<QPushButton>(about, "cmdOK"), Qt::LeftButton);
        });
        w.menu("mnuAbout");

        // The cycle panel has a page of its own.
        w.choose(1, w.copy("geotest/pass_three_cycles.LST", "DS1.LST"));
        w.menu("mnuSelectPanel");
        w.menu("mnuHelp");
        QCOMPARE(w.help()->source().fileName(), "cycle_selection.html");
        QVERIFY(w.help()->toPlainText().contains(w.find<QGroupBox>("fraPreProcess")->title()));
        QCOMPARE(w.modal.messages.size(), 0);

        // A page that is not there: the "Help" message, and nothing else.
        w.window->setHelpFolder(w.dir.path());
        w.menu("mnuHelp");
        QCOMPARE(w.modal.texts(), QStringList("Error 53   File not found: " +
                                              w.dir.filePath("cycle_selection.html")));
        QVERIFY(w.window->helpWindow() == nullptr || !w.window->helpWindow()->isVisible());
    }

    void aSecondStartOpensNoWindowAndRaisesTheFirst() {
        plovix::ui::SingleInstance first;
        QVERIFY(first.acquire());
        QSignalSpy raised(&first, &plovix::ui::SingleInstance::activationRequested);
        QTemporaryDir dir;
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PLOVIX_INI", dir.filePath("Plovix.INI"));
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(PLOVIX_WINDOW), {});
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(raised.count() == 1 || raised.wait(5000));
        QVERIFY(!QFile::exists(dir.filePath("Plovix.INI")));  // it never got as far as a window
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
