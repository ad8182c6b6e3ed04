#pragma once
// SIGTERM, SIGHUP and SIGINT turned into a signal on the main thread's event loop, so that a
// logout or a kill asks the application to save and quit like the Quit command does. The
// handler only writes the signal number into a socket pair the event loop watches.

#include <QObject>

class QSocketNotifier;

namespace quillet::platform {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers. One instance per process: while one is installed, another stays
    // uninstalled and leaves the handlers alone.
    explicit TerminationSignals(QObject* parent = nullptr);
    // Restores the handlers that were in place before.
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool isInstalled() const { return notifier_ != nullptr; }

signals:
    // Once for every signal that arrived, in arrival order.
    void terminationRequested(int signalNumber);

private:
    void deliverPending();

    QSocketNotifier* notifier_ = nullptr;
    int readEnd_ = -1;
    int writeEnd_ = -1;
};

} // namespace quillet::platform
