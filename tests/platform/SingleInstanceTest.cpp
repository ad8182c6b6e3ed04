#include "platform/SingleInstance.h"
#include "PlatformTestSupport.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quillet::platform {
namespace {

using testing::TempFolder;

// One launch of SingleInstanceProbe, its runtime and working folder `folder`.
class Launch {
public:
    Launch(const QString& folder, const QStringList& arguments, const QString& gate = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
        environment.insert(QStringLiteral("QUILLET_PROBE_GATE"), gate);
        process_.setProcessEnvironment(environment);
        process_.setWorkingDirectory(folder);
        process_.start(QStringLiteral(QUILLET_SINGLE_INSTANCE_PROBE), arguments);
    }
    ~Launch() {
        process_.kill();
        process_.waitForFinished();
    }
    // The next line the launch printed, or "" when none came within ten seconds.
    QString nextLine() {
        const QDeadlineTimer deadline(10000);
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(int(deadline.remainingTime())))
                return {};
        return QString::fromUtf8(process_.readLine()).chopped(1);
    }
    QProcess& process() { return process_; }

private:
    QProcess process_;
};

QString socketOf(const QString& primaryLine) {
    return primaryLine.section(u'\t', 1);
}

// Three launches released together: one primary, which gets the others' arguments and on
// SIGTERM quits through its event loop, removing its socket.
void launchThreeTogether() {
    TempFolder folder;
    const QByteArray gate = QFile::encodeName(folder.file("gate"));
    ASSERT_EQ(::mkfifo(gate.constData(), 0600), 0);
    const int gateWriter = ::open(gate.constData(), O_RDWR | O_CLOEXEC);
    std::vector<std::unique_ptr<Launch>> launches;
    for (int i = 0; i < 3; ++i) {
        launches.push_back(std::make_unique<Launch>(folder.path(), QStringList{QStringLiteral("n%1.md").arg(i), "-x"},
                                                    folder.file("gate")));
        ASSERT_EQ(launches.back()->nextLine(), u"ready");
    }
    ::close(gateWriter);

    Launch* primary = nullptr;
    QString primaryLine;
    QStringList expected;
    for (size_t i = 0; i < launches.size(); ++i) {
        const QString line = launches[i]->nextLine();
        if (!line.startsWith(u"primary")) {
            EXPECT_EQ(line, u"delivered");
            expected << QStringLiteral("received\t%1/n%2.md\t-x").arg(folder.path()).arg(i);
            continue;
        }
        EXPECT_EQ(primary, nullptr) << "a second primary";
        primary = launches[i].get();
        primaryLine = line;
    }
    ASSERT_NE(primary, nullptr);
    QStringList received;
    while (received.size() < expected.size())
        received << primary->nextLine();
    received.sort();
    EXPECT_EQ(received, expected);

    primary->process().terminate();
    ASSERT_TRUE(primary->process().waitForFinished(10000));
    EXPECT_EQ(primary->process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(primary->process().exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(socketOf(primaryLine)));
}

TEST(SingleInstance, LaunchesAtTheSameMomentLeaveOnePrimaryThatReceivesTheOthersArguments) {
    // A race shows only now and then: each round gives it another chance.
    for (int round = 0; round < 3 && !HasFailure(); ++round) {
        SCOPED_TRACE(round);
        launchThreeTogether();
    }
}

TEST(SingleInstance, TheSocketOfAKilledPrimaryIsTakenOver) {
    TempFolder folder;
    Launch crashed(folder.path(), {});
    const QString socket = socketOf(crashed.nextLine());
    crashed.process().kill();
    crashed.process().waitForFinished();
    ASSERT_TRUE(QFileInfo::exists(socket));

    Launch successor(folder.path(), {});
    EXPECT_EQ(successor.nextLine(), QStringLiteral("primary\t") + socket);
    Launch later(folder.path(), {});
    EXPECT_EQ(later.nextLine(), u"delivered");
    EXPECT_EQ(successor.nextLine(), u"received");
}

TEST(SingleInstance, FileArgumentsBecomeAbsoluteWhileOptionsAndUrlsStay) {
    const QStringList arguments{"a.md", "../b.md", "/c.md", "--new-window", "file:///d.md", "x:y.md", "--", "-e.md"};
    EXPECT_EQ(SingleInstance::withAbsolutePaths(arguments, "/home/u/notes"),
              (QStringList{"/home/u/notes/a.md", "/home/u/b.md", "/c.md", "--new-window", "file:///d.md",
                           "/home/u/notes/x:y.md", "--", "/home/u/notes/-e.md"}));
}

TEST(SingleInstance, ThePrimaryReadsAMessageArrivingByteByByteOnAUserOnlySocket) {
    TempFolder folder;
    const QByteArray runtimeFolder = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", folder.path().toUtf8());
    SingleInstance primary(QStringLiteral("org.quillet.Pieces"));
    qputenv("XDG_RUNTIME_DIR", runtimeFolder);
    ASSERT_TRUE(primary.tryBecomePrimary());
    EXPECT_EQ(QFile::permissions(primary.socketPath()) & 0x0FF, 0) << "group or others may use the socket";

    const QStringList arguments{"/notes/ä.md", QString()};
    QByteArray payload, message;
    QDataStream toPayload(&payload, QIODevice::WriteOnly), toMessage(&message, QIODevice::WriteOnly);
    toPayload << arguments;
    toMessage << payload; // a quint32 length, then the bytes
    QSignalSpy received(&primary, &SingleInstance::argumentsReceived);
    QLocalSocket client;
    client.connectToServer(primary.socketPath());
    for (char byte : message) {
        client.write(&byte, 1);
        client.flush();
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(!received.isEmpty() || received.wait(5000));
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received.first().first().toStringList(), arguments);
    ASSERT_TRUE(client.waitForReadyRead(5000));
    EXPECT_EQ(client.read(1), QByteArray("\x06"));
}

} // namespace
} // namespace quillet::platform
