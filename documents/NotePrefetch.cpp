#include "documents/NotePrefetch.h"

#include "documents/Outline.h"
#include "platform/TypeIdentifiers.h"

#include <condition_variable>
#include <mutex>
#include <optional>

namespace quillet {

struct NotePrefetch::State {
    std::mutex mutex;
    std::condition_variable finished;
    std::optional<NoteOpening> opening;
    std::function<void(const NoteOpening&)> done;
};

NoteOpening readForOpening(const QString& path, bool readMetadata, bool markdown) {
    NoteOpening opening;
    opening.reading = readNote(path, readMetadata);
    if (opening.reading.text && markdown) opening.outline = createOutline(*opening.reading.text);
    return opening;
}

NotePrefetch::NotePrefetch(platform::Dispatcher& dispatcher, const QString& path)
    : path_(path), state_(std::make_shared<State>()) {
    dispatcher.onWorker([state = state_, path, dispatcher = &dispatcher] {
        const QString type = platform::typeIdentifierForFile(path);
        NoteOpening opening = readForOpening(path, true, type == QLatin1String(platform::kMarkdownTypeIdentifier));
        std::function<void(const NoteOpening&)> done;
        {
            std::lock_guard lock(state->mutex);
            state->opening = std::move(opening);
            done = std::move(state->done);
        }
        state->finished.notify_all();
        if (done) dispatcher->onMain([state, done] { done(*state->opening); });
    });
}

bool NotePrefetch::waitFor(platform::Duration bound) const {
    std::unique_lock lock(state_->mutex);
    return state_->finished.wait_for(lock, bound, [this] { return state_->opening.has_value(); });
}

void NotePrefetch::whenRead(std::function<void(const NoteOpening&)> done) {
    std::unique_lock lock(state_->mutex);
    if (!state_->opening) {
        state_->done = std::move(done);
        return;
    }
    lock.unlock();
    done(*state_->opening);
}

} // namespace quillet
