#include "platform/SingleInstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QtDebug>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillet::platform {
namespace {

// A message is a quint32 length followed by that many bytes: a QStringList in QDataStream form.
// The primary answers a message it took with one byte.
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;
constexpr qint64 kLengthSize = sizeof(quint32);
constexpr quint32 kLargestMessage = 16 * 1024 * 1024;
constexpr char kAcknowledgement = '\x06';
// Connecting to a local socket completes at once when someone listens; the limit only guards
// against a wedged kernel queue.
constexpr int kProbeTimeoutMs = 1000;

QString socketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}

// The temporary folder is shared by every user: the user id keeps their sockets apart.
QString basePath(const QString& applicationId) {
    const QString folder = socketFolder();
    if (folder == QDir::tempPath())
        return folder + u'/' + applicationId + u'-' + QString::number(::getuid());
    return folder + u'/' + applicationId;
}

// Held while checking for a primary and starting to listen, so that launches at the same moment
// take turns. The kernel releases it when the holder dies.
class LockFile {
public:
    explicit LockFile(const QString& path) {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd_ < 0) {
            qWarning("SingleInstance: cannot open the lock file %s", qPrintable(path));
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~LockFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    bool isHeld() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

enum class Listener { Answers, Nobody, Unknown };

Listener probeListener(const QString& socketPath) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (socket.waitForConnected(kProbeTimeoutMs)) {
        socket.abort();
        return Listener::Answers;
    }
    switch (socket.error()) {
    case QLocalSocket::ServerNotFoundError:
    case QLocalSocket::ConnectionRefusedError: // a socket file left by a primary that died
        return Listener::Nobody;
    default:
        return Listener::Unknown;
    }
}

// The socket folder may be the shared temporary folder: talk only to our own user.
bool peerIsThisUser(QLocalSocket& socket) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::getuid();
}

QByteArray encodeMessage(const QStringList& arguments) {
    QByteArray payload;
    QDataStream payloadStream(&payload, QIODevice::WriteOnly);
    payloadStream.setVersion(kStreamVersion);
    payloadStream << arguments;

    QByteArray message;
    QDataStream messageStream(&message, QIODevice::WriteOnly);
    messageStream.setVersion(kStreamVersion);
    messageStream << quint32(payload.size());
    return message + payload;
}

int millisecondsLeft(const QDeadlineTimer& deadline) {
    return deadline.isForever() ? -1 : int(deadline.remainingTime());
}

bool isUrl(const QString& argument) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(argument).hasMatch();
}

} // namespace

SingleInstance::SingleInstance(const QString& applicationId, QObject* parent)
    : QObject(parent), socketPath_(basePath(applicationId) + QStringLiteral(".socket")),
      lockPath_(basePath(applicationId) + QStringLiteral(".lock")) {}

SingleInstance::~SingleInstance() {
    if (!server_)
        return;
    // Under the lock, so that a launch taking over cannot have its new socket removed by our close.
    LockFile lock(lockPath_);
    server_->close();
}

bool SingleInstance::tryBecomePrimary() {
    if (server_)
        return true;
    LockFile lock(lockPath_);
    if (!lock.isHeld() || probeListener(socketPath_) != Listener::Nobody)
        return false;
    QLocalServer::removeServer(socketPath_); // what a crashed primary left, if anything
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(socketPath_)) {
        qWarning("SingleInstance: cannot listen on %s: %s", qPrintable(socketPath_), qPrintable(server->errorString()));
        delete server;
        return false;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    server_ = server;
    return true;
}

bool SingleInstance::sendToPrimary(const QStringList& arguments, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(millisecondsLeft(deadline)) || !peerIsThisUser(socket))
        return false;
    socket.write(encodeMessage(withAbsolutePaths(arguments, QDir::currentPath())));
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(millisecondsLeft(deadline)))
            return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(millisecondsLeft(deadline)))
            return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == kAcknowledgement;
}

QStringList SingleInstance::withAbsolutePaths(const QStringList& arguments, const QString& workingDirectory) {
    const QDir base(workingDirectory);
    QStringList result;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        const bool isPath = optionsEnded || !(argument.startsWith(u'-') || isUrl(argument));
        result << (isPath ? QDir::cleanPath(base.absoluteFilePath(argument)) : argument);
        optionsEnded = optionsEnded || argument == u"--";
    }
    return result;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* connection = server_->nextPendingConnection()) {
        if (!peerIsThisUser(*connection)) {
            connection->abort();
            connection->deleteLater();
            continue;
        }
        connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
        connect(connection, &QLocalSocket::readyRead, this, [this, connection] { readMessage(connection); });
        // Bytes may have come with the connection, before readyRead was connected.
        readMessage(connection);
    }
}

void SingleInstance::readMessage(QLocalSocket* connection) {
    if (connection->bytesAvailable() < kLengthSize)
        return;
    QDataStream lengthStream(connection->peek(kLengthSize));
    lengthStream.setVersion(kStreamVersion);
    quint32 length = 0;
    lengthStream >> length;
    if (length > kLargestMessage) {
        connection->abort();
        connection->deleteLater();
        return;
    }
    if (connection->bytesAvailable() < kLengthSize + length)
        return;
    connection->skip(kLengthSize);
    QDataStream payload(connection->read(length));
    payload.setVersion(kStreamVersion);
    QStringList arguments;
    payload >> arguments;
    if (payload.status() != QDataStream::Ok) {
        connection->abort();
        connection->deleteLater();
        return;
    }
    connection->putChar(kAcknowledgement);
    connection->flush(); // now, not when the event loop next turns: the launch waits for it
    connection->disconnectFromServer();
    emit argumentsReceived(arguments);
}

} // namespace quillet::platform
