#pragma once
// One Quillet per user. The first launch becomes the primary and listens on a local socket in
// the user's runtime folder; a later launch hands its arguments to the primary and quits:
//
//   SingleInstance instance(QStringLiteral("org.quillet.Quillet"));
//   if (!instance.tryBecomePrimary() && instance.sendToPrimary(arguments, 5000))
//       return 0;
//   // Primary, or no primary could be reached: run, and on argumentsReceived raise the window
//   // and open what the arguments name.

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace quillet::platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket and its lock file live in $XDG_RUNTIME_DIR, named after `applicationId`; without
    // a usable runtime folder, in the temporary folder with the user id in their names.
    explicit SingleInstance(const QString& applicationId, QObject* parent = nullptr);
    // A primary stops listening and removes its socket.
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now listens as the primary (also when it already did). False when
    // a live primary answered, or when the socket folder cannot be used. Launches racing each
    // other end with exactly one primary; a socket left by a crashed primary is taken over.
    bool tryBecomePrimary();
    bool isPrimary() const { return server_ != nullptr; }

    // Hands `arguments` (those after the program name) to the primary, with relative paths made
    // absolute against this process's working directory; true once the primary acknowledged
    // them within `timeoutMs` (a negative timeout waits without limit).
    bool sendToPrimary(const QStringList& arguments, int timeoutMs);

    QString socketPath() const { return socketPath_; }

    // Options (a leading '-') and URLs ("scheme://...") pass unchanged; every other argument,
    // and every argument after "--", is a path made absolute against `workingDirectory`.
    static QStringList withAbsolutePaths(const QStringList& arguments, const QString& workingDirectory);

signals:
    // On the primary, on the main thread, once for every launch handed over, also one without
    // arguments: the app raises its window and opens what the arguments name.
    void argumentsReceived(const QStringList& arguments);

private:
    void acceptConnections();
    void readMessage(QLocalSocket* connection);

    QString socketPath_;
    QString lockPath_;
    QLocalServer* server_ = nullptr;
};

} // namespace quillet::platform
