#pragma once
// The window tests run on Qt's offscreen platform, which warns about every window it shows.

#include <QApplication>
#include <QString>

namespace plovix::testing {

// Drops the offscreen platform's warnings about the features it lacks, passes on the rest, and
// keeps the test run's event loops going when a window closes.
inline void quietOffscreen() {
    static QtMessageHandler next = nullptr;
    next = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (text.contains(QLatin1String("does not support propagateSizeHints")) ||
                text.contains(QLatin1String("does not support raise()")))
                return;
            next(type, context, text);
        });
    QApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace plovix::testing
