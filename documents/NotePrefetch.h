#pragma once
// A note read ahead of its opening. At launch the note to reopen is known before the window is
// built: its read starts on a worker then, the window is built meanwhile, and the document
// session takes the read instead of reading the note again, so the first frame can show it.

#include "browser/OutlineNode.h"
#include "documents/NoteFiles.h"
#include "platform/Dispatcher.h"

#include <QString>
#include <functional>
#include <memory>

namespace quillet {

// What an opening reads off the main thread: the note and, for Markdown, its outline.
struct NoteOpening {
    NoteReading reading;
    OutlineNodeRef outline;
};

// Reads a note for its opening (off the main thread).
NoteOpening readForOpening(const QString& path, bool readMetadata, bool markdown);

class NotePrefetch {
public:
    // Starts reading the note at `path` on a worker (with its stored metadata).
    NotePrefetch(platform::Dispatcher& dispatcher, const QString& path);

    QString path() const { return path_; }
    // Main thread: blocks until the read finished or `bound` passed; true when it finished.
    bool waitFor(platform::Duration bound) const;
    // Main thread: `done` gets the read on the main thread, at once when it already finished.
    void whenRead(std::function<void(const NoteOpening&)> done);

private:
    struct State;
    QString path_;
    std::shared_ptr<State> state_;
};

} // namespace quillet
