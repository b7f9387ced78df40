// The real window offscreen: shows what the engine decided, and writes the converter's Norvo file.

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
void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

// Answers and records modal windows: the next file (empty: Cancel), OK, or the next script.
struct ModalAnswers {
    struct Shown {
        QString title{}, text{};
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList filters{};  // file dialogs
        QString folder{}, fileName{};
    };
    QStringList files;
    QList<std::function<void(QWidget*)>> windows;
    QList<Shown> messages, dialogs;

    void during(const std::function<void()>& action) {
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start();
        action();
    }

  private:
    void answer() {
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr || w->property("answered").toBool() || !w->isVisible()) return;
        w->setProperty("answered", true);
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            messages.append(
                {.title = box->windowTitle(), .text = box->text(), .icon = box->icon()});
            box->button(QMessageBox::Ok)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
            dialogs.append({.title = dialog->windowTitle(),
                            .filters = dialog->nameFilters(),
                            .folder = dialog->directory().absolutePath(),
                            .fileName = QFileInfo(dialog->selectedFiles().value(0)).fileName()});
            const QString path = files.isEmpty() ? QString() : files.takeFirst();
            if (path.isEmpty()) return dialog->reject();
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();  // as the Open button does
        } else if (!windows.isEmpty()) {
            windows.takeFirst()(w);
            if (w->isVisible()) w->close();  // a script that failed half-way
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
        if (event->type() != QEvent::Show) return false;
        enabledDuringPass |= window->centralWidget()->isEnabled() || window->menuBar()->isEnabled();
        ++count;
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
        write(ini, settings.toUtf8());
        plovix::startSession(session, ini.toStdString());
        window = std::make_unique<MainWindow>(session);
        window->start(commandLine);
    }
    // Settings for `source` with test type `test`, NV.DDT found in the data folder.
    static QString settings(int source, int test, const QString& more = {}) {
        return QStringLiteral("[Files]\r\nNorvoProgPath=" PLOVIX_TEST_DATA
                              "/../../data/\r\n[Settings]\r\nDAT=%1\r\nLTTU=%2\r\n%3")
            .arg(QString::number(source), QString::number(test), more);
    }
    template <class T>
    T* find(const QString& name) const {
        return child<T>(window.get(), name);
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
    // The file dialog of `button` (a number: that specimen's) answered with `path` (empty: Cancel).
    void choose(const QString& button, const QString& path) {
        modal.files.push_back(path);
        click(button);
    }
    void choose(int n, const QString& path) {
        choose(QStringLiteral("cmdGetDAFile%1").arg(n), path);
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
        QVERIFY(modal.windows.isEmpty());  // the dialog did open
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

    void aRefusedTestTypeSnapsTheListBack() {
        Window enkay(Window::settings(7, 5));
        auto* list = enkay.find<QComboBox>("cmbTestType");
        Window::chooseFromList(list, 0);  // Unconfined Compression: not allowed
        QCOMPARE(list->currentText(), "CU with Pore Pressures");
    }

    void importInSequenceApplyAndTickCycles() {
        Window w(Window::settings(2, 2));
        QVERIFY(w.window->focusWidget() == w.find<QPushButton>("cmdGetDAFile1"));
        // Specimen 3 before 2, by a click on its number, opens no dialog.
        w.modal.during([&] {
            QTest::mouseClick(w.window->importPanel()->results()->column(3).number, Qt::LeftButton);
        });
        QCOMPARE(w.modal.messages.value(0).text, "Must get specimens in sequence");
        QVERIFY(w.modal.dialogs.isEmpty());
        QVERIFY(!w.find<QPushButton>("cmdGetDAFile2")->isVisible());

        const QString first = w.copy("geotest/pass_three_cycles.LST", "DS1.LST");
        w.choose(1, first);
        QCOMPARE(w.modal.dialogs.last().title,
                 "Select the GeoTest Data Acquisition file to import for specimen 1");
        QCOMPARE(w.text("lblDAName1"), "DS1.LST");
        QCOMPARE(w.find<QLabel>("lblDAName1")->toolTip(), first);
        QVERIFY(w.window->focusWidget() == w.find<QPushButton>("cmdGetDAFile1"));
        QVERIFY(w.find<QPushButton>("cmdGetDAFile2")->isVisible());
        QVERIFY(w.find<QCheckBox>("chkSDR1")->isVisible());
        QVERIFY(w.find<QLabel>("lblStatus")->styleSheet().contains("#008000"));

        // Enter applies once (the file, changed meanwhile, is read again), then moves on.
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

        // Cancel keeps the file (offered again in its folder); settings are closed now.
        w.choose(1, QString());
        QCOMPARE(w.modal.dialogs.last().folder + "|" + w.modal.dialogs.last().fileName,
                 w.dir.path() + "|DS1.LST");
        w.menu("mnuSettings");
        QCOMPARE(w.modal.messages.last().icon, QMessageBox::Warning);

        // Specimen 2 dropped on its column; then its cycles.
        w.drop(2, w.copy("geotest/pass_three_cycles.LST", "DS2.LST"));
        QCOMPARE(w.text("lblDAName2"), "DS2.LST");
        QVERIFY(w.find<QPushButton>("cmdGetDAFile3")->isVisible());
        const QString allCycles = w.text("lblNumNorvoRead2");
        w.menu("mnuSelectPanel");
        QVERIFY(w.window->cyclePanel()->isVisible());
        QCOMPARE(w.find<QAction>("mnuSelectPanel")->text(), "&D/A import");
        QCOMPARE(w.text("lblSN"), "2");
        QVERIFY(!w.find<QCheckBox>("chkUse4")->isVisible());
        const int readings = w.text("lblTotNumReadUsed").toInt();
        const int second = w.text("lblNumRead2").toInt();
        QTest::mouseClick(w.find<QCheckBox>("chkUse2"), Qt::LeftButton);
        QCOMPARE(w.text("lblTotNumCyclesUsed"), "2");
        QCOMPARE(w.text("lblTotNumReadUsed").toInt(), readings - second);
        w.menu("mnuSelectPanel");
        QVERIFY(w.window->importPanel()->isVisible());
        QVERIFY(w.text("lblNumNorvoRead2") != allCycles);
        QCOMPARE(w.modal.messages.size(), 2);
    }

    void saveAndExitChecksAndWinFile() {
        QTemporaryDir noDefaults;
        Window w(Window::settings(2, 2).replace(PLOVIX_TEST_DATA "/../../data", noDefaults.path()));
        w.choose(1, w.copy("geotest/pass_three_cycles.LST", "DS1.LST"));
        w.choose("cmdNorvoName", w.dir.filePath("TEST.NDT"));
        QCOMPARE(w.text("lblNorvoName"), "TEST.NDT");
        QCOMPARE(w.find<QLabel>("Label10")->toolTip(), w.dir.filePath("TEST.NDT"));
        w.menu("mnuExport");  // refused: no NV.DDT
        QCOMPARE(w.modal.messages.size(), 1);
        QCOMPARE(w.modal.messages[0].title, "Plovix");
        QCOMPARE(w.modal.messages[0].icon, QMessageBox::NoIcon);
        QVERIFY(w.window->isVisible());

        // Started by Norvo: its file is fixed.
        Window started(Window::settings(2, 2),
                       "WINFILE=\"" + w.dir.filePath("N.NDT").toStdString() + "\"");
        QVERIFY(!started.find<QPushButton>("cmdNorvoName")->isEnabled());
        QVERIFY(!started.find<QRadioButton>("optNorvoVersion1")->isEnabled());
        QVERIFY(started.find<QRadioButton>("optNorvoVersion0")->isChecked());
    }

    void newTestSavesSettingsReopensThemAndAFailedSaveIsReported() {
        Window w(Window::settings(2, 2, "Generic=False\r\n"));
        w.choose(1, w.copy("geotest/pass_three_cycles.LST", "DS1.LST"));
        w.choose(2, w.copy("geotest/pass_three_cycles.LST", "DS2.LST"));
        Window::typeInto(w.find<QLineEdit>("txtFacTol2"), "7");
        w.menu("mnuNewTest");
        QCOMPARE(w.text("lblDAName1"), "");
        QVERIFY(!w.find<QLabel>("lblDAName2")->isVisible());
        QVERIFY(!w.find<QPushButton>("cmdGetDAFile2")->isVisible());
        QVERIFY(bytesOf(w.ini).contains("Tolerance=7\r\n"));
        w.settingsDialog([&](QWidget* d) {  // generic: no list of sources
            QVERIFY(!Window::child<QComboBox>(d, "cmbDATypes")->isVisible());
            QVERIFY(!Window::child<QLabel>(d, "Label5")->isVisible());
        });

        // The settings file cannot be written: closing says so, and still closes.
        w.session.program.IniFile = w.dir.filePath("DS1.LST/Plovix.INI").toStdString();
        w.modal.during([&] { w.window->close(); });
        QCOMPARE(w.modal.messages.size(), 1);
        QVERIFY(w.modal.messages[0].text.startsWith("The settings could not be saved to "));
        QVERIFY(!w.window->isVisible());
    }

    void theWindowWritesTheConvertersNorvoFile_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("test");
        QTest::addColumn<QString>("more");
        QTest::addColumn<QStringList>("fixtures");
        QTest::addColumn<QString>("filter");
        QTest::newRow("GeoTest, two specimens")
            << 2 << 2 << QString()
            << QStringList{"geotest/lst_ds_reversing.LST", "geotest/pass_three_cycles.LST"}
            << "GeoTest files (*.[lL][sS][tT])";
        QTest::newRow("Humboldt workbook, three specimens in one choice")
            << 6 << 2 << QStringLiteral("HUMREADXL=True\r\nHUMFTHSD=True\r\n")
            << QStringList{"humboldt/workbook_direct_shear.xls"}
            << "Humboldt XL files (*.[xX][lL][sS] *.[xX][lL][sS][xX])";
    }
    void theWindowWritesTheConvertersNorvoFile() {
        QFETCH(int, source);
        QFETCH(int, test);
        QFETCH(QString, more);
        QFETCH(QStringList, fixtures);
        QFETCH(QString, filter);
        Window w(Window::settings(source, test, more));
        const QString settings = w.dir.filePath("converter.ini");
        QFile::copy(w.ini, settings);
        QStringList files;
        for (const QString& fixture : fixtures) {
            files << w.copy(fixture, QStringLiteral("S%1.").arg(files.size() + 1) +
                                         QFileInfo(fixture).suffix());
            w.choose(static_cast<int>(files.size()), files.last());
        }
        QCOMPARE(w.modal.dialogs.last().filters, QStringList(filter));
        for (const char* sub : {"window", "converter"}) QDir(w.dir.path()).mkdir(sub);
        w.choose("cmdNorvoName", w.dir.filePath("window/TEST.NDT"));
        w.menu("mnuExport");
        QVERIFY2(w.modal.messages.isEmpty(), qPrintable(w.modal.messages.value(0).text));
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

    void aboutShowsTheVersionCentredOverTheWindowAndItsHelp() {
        Window w(Window::settings(2, 2));
        w.window->move(20, 30);  // anywhere but the middle of the screen
        w.modal.windows.push_back([&](QWidget* about) {
            const QPoint off = about->frameGeometry().center() - w.window->frameGeometry().center();
            QVERIFY(off.manhattanLength() <= 2);
            QCOMPARE(
                about->windowTitle() + "|" + Window::child<QLabel>(about, "lblVersion")->text(),
                "About Plovix|Product version: " +
                    QString::fromStdString(plovix::appVersionText()).trimmed());
            Window::pressF1(about);
            QCOMPARE(w.help()->source().fragment(), "about");
            QVERIFY(w.help()->toPlainText().contains(about->windowTitle()));
            QTest::mouseClick(Window::child<QPushButton>(about, "cmdOK"), Qt::LeftButton);
        });
        w.menu("mnuAbout");
        QVERIFY(w.modal.windows.isEmpty() && w.modal.messages.empty());
    }

    void settingsDialogEditsAndHelpReachTheWindowAndTheSettingsFile() {
        Window w(Window::settings(2, 5, "HUMREADXL=True\r\nGEOTACIPM=False\r\n"));
        write(w.dir.filePath("NV.EXE"), {});
        w.settingsDialog([&](QWidget* d) {
            auto* sources = Window::child<QComboBox>(d, "cmbDATypes");
            QCOMPARE(sources->currentText(), "GeoTest");
            QVERIFY(Window::child<QWidget>(d, "PropertyFrames1")->isVisible());
            QTest::mouseClick(Window::child<QPushButton>(d, "cmdHelp"), Qt::LeftButton);
            QCOMPARE(w.help()->source().fileName() + "#" + w.help()->source().fragment(),
                     "settings.html#geotest");
            QVERIFY(w.help()->toPlainText().contains(d->windowTitle()));
            Window::chooseFromList(sources, 5);
            QVERIFY(Window::child<QWidget>(d, "PropertyFrames5")->isVisible());
            const auto column = [&](int row) {
                return Window::child<QLineEdit>(d, QStringLiteral("txtReadingCol%1").arg(row));
            };
            w.modal.during([&] {
                Window::typeInto(column(0), "AB");
                Window::typeInto(column(2), "D");
            });
            QCOMPARE(w.modal.messages.size(), 1);  // "AB" refused, and the box shows it cleared
            QCOMPARE(w.modal.messages[0].icon, QMessageBox::Information);
            QCOMPARE(column(0)->text(), "");
            w.modal.files = {w.dir.filePath("NV.EXE")};
            w.modal.during([&] {
                QTest::mouseClick(Window::child<QPushButton>(d, "cmdSelect"), Qt::LeftButton);
            });
            QCOMPARE(Window::child<QLineEdit>(d, "txtNorvoProgram")->text(), w.dir.path() + "/");

            Window::chooseFromList(sources,
                                   4);  // GEOTAC: a click on one rate box unticks the other
            QTest::mouseClick(Window::child<QCheckBox>(d, "chkInchPerMin"), Qt::LeftButton);
            QVERIFY(!Window::child<QCheckBox>(d, "chkRateOfStrain")->isChecked());
            Window::typeInto(Window::child<QLineEdit>(d, "txtLRCSD361"), "1234.5");
            Window::pressF1(d);  // help on the frame in front
            QVERIFY(d->isVisible() && w.help()->source().fragment() == "geotac");
        });

        // The window is set up for the new source, and what the controls stored is saved on close.
        QCOMPARE(w.window->windowTitle(), "GEOTAC Import for the KALVORN Norvo Program");
        w.modal.during([&] { w.window->close(); });
        plovix::Session back;
        plovix::startSession(back, w.ini.toStdString());
        const plovix::Settings& st = back.settings;
        QVERIFY(st.SourceType == 5 && st.GEOTACIPM && !st.GEOTACROS && st.LRCDS361 == 1234.5);
        QCOMPARE(QString::fromStdString(st.NorvoProgPath + "|" + st.HumXLCol(3)),
                 w.dir.path() + "/|D");
        QCOMPARE(w.modal.messages.size(), 1);
    }

    void eachWindowsHelpOpensThePageAboutIt() {
        Window w(Window::settings(2, 2));
        w.menu("mnuHelp");
        QVERIFY(w.window->helpWindow()->isVisible());
        QCOMPARE(w.help()->source().fileName(), "main_window.html");
        QVERIFY(w.help()->toPlainText().contains(w.find<QPushButton>("cmdGetDAFile1")->text()));
        // Its search: pages holding every word from a word's start, those using them most first.
        const auto page = [&](const QString& name, const QString& text) {
            write(w.dir.filePath(name),
                  ("<html><head><title>" + name + " - Plovix Help</title></head><body>" + text +
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
        QCOMPARE(w.modal.messages.size(), 1);
        QCOMPARE(w.modal.messages[0].text,
                 "Error 53   File not found: " + w.dir.filePath("cycle_selection.html"));
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
