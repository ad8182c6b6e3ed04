#include "platform/Dispatcher.h"

#include "platform/QtDispatcher.h"

namespace quillet::platform {
namespace {
std::atomic<Dispatcher*> installed{nullptr};
}

void DelayedCallHandle::cancel() const {
    if (state_) state_->store(true);
}

bool DelayedCallHandle::isCancelled() const {
    return state_ && state_->load();
}

DelayedCallHandle DelayedCallHandle::make() {
    DelayedCallHandle handle;
    handle.state_ = std::make_shared<std::atomic<bool>>(false);
    return handle;
}

Dispatcher& Dispatcher::shared() {
    static QtDispatcher fallback;
    Dispatcher* dispatcher = installed.load();
    return dispatcher ? *dispatcher : fallback;
}

void Dispatcher::setShared(Dispatcher* dispatcher) {
    installed.store(dispatcher);
}

} // namespace quillet::platform
