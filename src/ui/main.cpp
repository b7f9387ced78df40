// plovix: the desktop window. One copy runs per user; a later start brings that one to the
// front and ends. The command line is the one Norvo passes ("WINFILE=" and the data file).

#include <QApplication>
#include <QStringList>

#include "app/program_paths.h"
#include "app/session.h"
#include "ui/about_box.h"
#include "ui/main_window.h"
#include "ui/single_instance.h"
#include "ui/text_bridge.h"
#include "workflow/start_session.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("plovix"));
    QApplication::setApplicationVersion(plovix::ui::productVersion());
    QApplication::setDesktopFileName(QStringLiteral("plovix"));

    plovix::ui::SingleInstance instance;
    if (!instance.acquire()) {
        instance.notifyRunning();
        return 0;
    }

    // Norvo passes its data file as one argument; a path with blanks may also arrive split.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const std::string commandLine = plovix::ui::pathFromQt(arguments.join(QLatin1Char(' ')));

    plovix::Session session;
    plovix::startSession(
        session, plovix::settingsFileLocationFromEnvironment(plovix::fAppPath(), std::nullopt));
    plovix::ui::MainWindow window(session);
    QObject::connect(&instance, &plovix::ui::SingleInstance::activationRequested, &window,
                     &plovix::ui::MainWindow::bringToFront);
    window.start(commandLine);
    return QApplication::exec();
}
