#pragma once
// The one owner of the open note. It alone knows which note is open, whether the editor's text
// has unsaved edits, the note's display name, lock and the version on disk the text is based on.
// It reads notes on a worker and applies what was read on the main thread; it saves on a writer
// queue (in order, off the main thread), never over a file that changed since it was read and
// never recreating a note another program removed; it watches the open note and follows the
// disk: a change is loaded when there are no edits, and kept beside the edits when there are.
//
// Main thread only, except where a method says otherwise.

#include "browser/FileRepresentation.h"
#include "documents/NoteFiles.h"
#include "documents/NotePrefetch.h"
#include "documents/OpenNoteWatcher.h"
#include "documents/SessionView.h"
#include "documents/WriterQueue.h"
#include "engine/Range.h"
#include "platform/DelayedCall.h"
#include "platform/Dispatcher.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace quillet {

namespace platform {
class UserDefaults;
}
struct ConflictResolution;

class DocumentSession : public QObject {
    Q_OBJECT

public:
    DocumentSession(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher, SessionView& view);
    ~DocumentSession() override;

    FileRep note() const { return note_; }
    bool isDirty() const { return dirty_; }
    bool isEditable() const { return editable_; }
    QString displayName() const { return displayName_; }

    // Opens a note (reads it on a worker). `selection` replaces the stored one (a header or a
    // search result chosen). A note that fails to open does not become the open note.
    void open(const FileRep& note, const QString& type, std::optional<Range> selection = std::nullopt);
    // Opens a note with a read started ahead (at launch); a read of another note is not used.
    void open(const FileRep& note, const QString& type, const std::shared_ptr<NotePrefetch>& prefetch);
    // Saves pending edits and closes the open note.
    void close();

    // The editor's text was edited: unsaved, saved 5 seconds after the last edit.
    void textEdited();
    // The user moved the caret or the selection: the next save stores it. A selection nobody
    // moved since the note was shown is never stored over the one on disk (another window or
    // program may have stored a newer one).
    void selectionMoved();
    // The first line gives a new name; a note that had one is saved at once.
    void setDisplayName(const QString& name);
    // Saves now when there are edits (else stores the selection). A save that failed is not
    // tried again from here; it waits for the next edit or its back-off.
    void autosave();
    // Same, also right after a failed save (the user asked for it).
    void saveNow();
    // Locks or unlocks the open note, saving pending edits first.
    void setLocked(bool locked);
    // Looks at the disk now (the watcher does it by itself).
    void checkDisk();

    // Search results are filled in for the notes opened while the target is set.
    void setSearchTarget(const QString& target) { searchTarget_ = target; }

    // Blocks until every write given so far is on disk (for quitting).
    void waitForWrites();
    // While quitting a failed save raises no alert: the quit question tells of it.
    void setQuitting(bool quitting) { quitting_ = quitting; }
    // Keeps the editor's text in the recovery folder; its path (empty when that failed).
    QString keepUnsavedText();

private:
    void finishOpening(const FileRep& note, const QString& type, std::optional<Range> selection,
                       std::uint64_t generation, const NoteReading& reading);
    void failOpening(const QString& informativeText);
    void forget();
    std::optional<DiskStamp> knownStamp() const;
    void enqueueWrite(NoteWrite write, std::uint64_t editCount, bool closing);
    void writeFinished(const FileRep& note, const QString& text, std::uint64_t editCount, bool closing,
                       const NoteWriteResult& result);
    void lockFinished(const FileRep& note, bool locked, const platform::Status& status);
    void saveFailed(const FileRep& note, const QString& text, bool closing, const platform::Status& error);
    void keepAsConflictCopy(const QString& path, const QString& text);
    void writeNewNote(const QString& preferredPath, const QString& suffix, const QString& text,
                      std::function<void(const QString& path, const platform::Status& status)> done);
    void diskChanged(const NoteReading& reading);
    void noteVanished(const std::optional<QString>& movedTo);
    void save(bool closing);
    void storeLastOpened(const QString& path);

    // Notes of the synced folder (DocumentSessionSync.cpp).
    bool isSyncedNote(const FileRep& note) const;
    void checkConflicts();
    void conflictsLookedAt(const ConflictResolution& resolution);
    void movedWithEdits(const QString& movedTo);

    platform::UserDefaults& defaults_;
    platform::Dispatcher& dispatcher_;
    SessionView& view_;
    WriterQueue writer_;
    OpenNoteWatcher watcher_;

    FileRep note_;
    QString type_;
    bool editable_ = false;
    bool dirty_ = false;
    bool selectionMoved_ = false;
    QString displayName_;
    // The version on disk the editor's text is based on, shared with the writes in flight (each
    // write moves it on to the version it wrote).
    struct StampChain;
    std::shared_ptr<StampChain> chain_;
    QString searchTarget_;
    std::uint64_t generation_ = 0; // counts opens and closes: late reads are dropped
    std::uint64_t edits_ = 0;      // counts edits: a save clears only the edits it holds
    int writesInFlight_ = 0;
    bool checkAfterWrites_ = false;
    bool checking_ = false;
    bool synced_ = false;
    bool checkingConflicts_ = false;
    QStringList toldConflicts_; // copies saved elsewhere the user was told of

    bool failing_ = false;
    bool quitting_ = false;
    int retryDelaySeconds_ = 0;
    platform::DelayedCall autosaveCall_;
    platform::DelayedCall retryCall_;
    platform::DelayedCall checkCall_;
};

} // namespace quillet
