#pragma once
// One running window per user. The first start takes a lock file in the user's runtime folder
// (released at exit, and found stale after a crash) and listens on a local socket beside it; a
// later start finds the lock taken, asks the running window to come to the front, and ends.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace plovix::ui {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `folder`: where the lock file and the socket live; empty: $XDG_RUNTIME_DIR, else Qt's
    // per-user runtime folder.
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only running copy (or when no lock can be made at all: a window
    // then is better than none). Listens for later starts from then on.
    bool acquire();
    // A later start: asks the running copy to show itself. True when it was reached.
    bool notifyRunning() const;

    QString lockPath() const;
    QString socketPath() const;

  signals:
    // A later start asked for the window.
    void activationRequested();

  private:
    void readRequest();

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace plovix::ui
