// One launch for the single instance tests. It either becomes the primary, prints "primary" and
// its socket path and then every argument list it receives until SIGTERM, or hands its own
// arguments over and prints "delivered" or "undelivered". With QUILLET_PROBE_GATE naming a FIFO
// it first prints "ready" and waits for the FIFO's end, so that launches start together.

#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QTextStream>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using quillet::platform::SingleInstance;
using quillet::platform::TerminationSignals;

namespace {

// The end of a FIFO wakes every reader at once, where a line written to each launch would
// release them one after another.
void waitAtGate(QTextStream& out) {
    const QByteArray gate = qgetenv("QUILLET_PROBE_GATE");
    if (gate.isEmpty())
        return;
    const int fd = ::open(gate.constData(), O_RDONLY | O_CLOEXEC);
    out << "ready" << Qt::endl;
    char byte;
    while (fd >= 0 && (::read(fd, &byte, 1) > 0 || errno == EINTR)) {
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    SingleInstance instance(QStringLiteral("org.quillet.Probe"));
    // Local sockets set themselves up on first use: not after the gate, where launches race.
    QLocalSocket().connectToServer(instance.socketPath() + QStringLiteral(".none"));
    waitAtGate(out);

    if (!instance.tryBecomePrimary()) {
        const bool delivered = instance.sendToPrimary(application.arguments().mid(1), 10000);
        out << (delivered ? "delivered" : "undelivered") << Qt::endl;
        return delivered ? 0 : 1;
    }
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &application, &QCoreApplication::quit);
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &application, [&out](const QStringList& arguments) {
        out << "received" << (arguments.isEmpty() ? QString() : u'\t' + arguments.join(u'\t')) << Qt::endl;
    });
    out << "primary\t" << instance.socketPath() << Qt::endl;
    return application.exec();
}
