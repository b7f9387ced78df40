#include "ui/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace plovix::ui {

namespace {

constexpr int kWaitMs = 2000;
const QByteArray kRaise = QByteArrayLiteral("raise\n");

}  // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {
    if (folder_.isEmpty()) folder_ = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder_.isEmpty())
        folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder_.isEmpty()) folder_ = QDir::tempPath();
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const {
    return QDir(folder_).filePath(QStringLiteral("plovix.lock"));
}

QString SingleInstance::socketPath() const {
    return QDir(folder_).filePath(QStringLiteral("plovix.socket"));
}

bool SingleInstance::acquire() {
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Only a live process keeps the lock: no time limit after which it counts as stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        if (lock_->error() == QLockFile::LockFailedError) return false;
        lock_.reset();  // no lock can be made here: run without one
        return true;
    }
    // A socket left by a copy that crashed is ours to replace.
    QLocalServer::removeServer(socketPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::readRequest);
    server_->listen(socketPath());
    return true;
}

void SingleInstance::readRequest() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(kRaise.trimmed())) emit activationRequested();
            socket->disconnectFromServer();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

bool SingleInstance::notifyRunning() const {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(kWaitMs)) return false;
    socket.write(kRaise);
    const bool sent = socket.waitForBytesWritten(kWaitMs);
    socket.disconnectFromServer();
    return sent;
}

}  // namespace plovix::ui
