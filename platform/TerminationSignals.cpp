#include "platform/TerminationSignals.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QtDebug>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace quillet::platform {
namespace {

constexpr std::array kHandledSignals{SIGTERM, SIGHUP, SIGINT};

// Read by the handler: it must be lock-free to be async-signal-safe.
std::atomic<int> handlerWriteEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

std::array<struct sigaction, kHandledSignals.size()> previousActions{};

void forwardSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = handlerWriteEnd.load(std::memory_order_relaxed);
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // A full socket (a flood of signals nobody read yet) drops this one: the earlier ones already ask to quit.
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, &number, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) {
        qWarning("TerminationSignals: cannot create the socket pair: %s", strerror(errno));
        return;
    }
    int noneInstalled = -1;
    if (!handlerWriteEnd.compare_exchange_strong(noneInstalled, ends[1])) {
        qWarning("TerminationSignals: another instance already handles the termination signals");
        ::close(ends[0]);
        ::close(ends[1]);
        return;
    }
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::deliverPending);

    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kHandledSignals.size(); ++i)
        ::sigaction(kHandledSignals[i], &action, &previousActions[i]);
}

TerminationSignals::~TerminationSignals() {
    if (!isInstalled())
        return;
    for (size_t i = 0; i < kHandledSignals.size(); ++i)
        ::sigaction(kHandledSignals[i], &previousActions[i], nullptr);
    handlerWriteEnd.store(-1);
    delete notifier_; // before its descriptor closes
    ::close(readEnd_);
    ::close(writeEnd_);
}

void TerminationSignals::deliverPending() {
    std::vector<int> arrived;
    unsigned char numbers[64];
    for (;;) {
        const ssize_t count = ::read(readEnd_, numbers, sizeof numbers);
        if (count > 0)
            arrived.insert(arrived.end(), numbers, numbers + count);
        else if (count < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    // A receiver may delete this object, for instance by quitting.
    const QPointer<TerminationSignals> alive(this);
    for (int signalNumber : arrived) {
        if (!alive)
            return;
        emit terminationRequested(signalNumber);
    }
}

} // namespace quillet::platform
