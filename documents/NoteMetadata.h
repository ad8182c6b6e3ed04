#pragma once
// A note's metadata besides its text: its last selection and its display name, kept in extended
// attributes of a local note's file, and for a note in the synchronised (cloud) folder in the
// note's entry of the key-value store, together with its lock. Copies go between a note's
// FileRepresentation and those stores; the "changed" flags of the record make writes
// incremental. Every failure of the stores is ignored: metadata is a convenience and the note's
// text is saved on its own.
//
// The main controller owns one NoteMetadata. Reads run on background threads (inside the
// coordinated read of a note), writes on the main thread, and the handler of outside changes on
// the thread that synchronised the store.

#include "browser/FileRepresentation.h"
#include "platform/Dispatcher.h"
#include "platform/KeyValueStore.h"

#include <QString>
#include <QUrl>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace quillet {

namespace note_metadata {
inline constexpr char kSelectedRange[] = "text.selectedRange"; // attribute and entry key
inline constexpr char kDisplayName[] = "displayName";          // attribute and entry key
inline constexpr char kLocked[] = "text.locked";               // entry key
// Bytes read of one attribute: a longer value is written but never read back.
inline constexpr std::size_t kAttributeReadLimit = 100;
} // namespace note_metadata

// One of a note's own attributes as text: none when it is missing, too long, empty or not UTF-8.
std::optional<QString> readNoteAttribute(const QString& path, const char* name);
// Stores the text (an empty or missing one is not written); failures are ignored.
void writeNoteAttribute(const QString& path, const char* name, const std::optional<QString>& text);

class NoteMetadata {
public:
    explicit NoteMetadata(platform::Dispatcher& dispatcher = platform::Dispatcher::shared())
        : dispatcher_(dispatcher) {}

    // The cloud notes' store; none (the default) leaves the key-value operations idle.
    void setKeyValueStore(std::shared_ptr<platform::KeyValueStore> store);
    std::shared_ptr<platform::KeyValueStore> keyValueStore() const;

    // Local notes: the attributes of the note's "fileURL".
    void readEAFromURL(FileRepresentation& note) const;
    void writeEAToURL(FileRepresentation& note) const;

    // Cloud notes: the note's key-value entry. Notes outside the synchronised folder are left
    // alone. Without `synchronize` the store's file is neither read nor written (the caller
    // synchronises later, off the main thread).
    void readEAFromCloudKV(FileRepresentation& note, bool synchronize = true) const;
    void writeEAToCloudKV(FileRepresentation& note, bool synchronize = true) const;

    // After the store changed from outside: the lock of every note among the cloud top's
    // children and its folders' children (two levels) is taken from the store, then
    // `updateTable` runs on the main queue. Holds the cloud top's lock while it changes records.
    void ubiquitousDataDidChange(const FileRep& iCloudTop, const std::function<void()>& updateTable) const;

    // Calls ubiquitousDataDidChange whenever the store reports changes from outside, with the
    // cloud top current at that moment. This object must outlive the store's use of the handler.
    void observeOutsideChanges(std::function<FileRep()> iCloudTop, std::function<void()> updateTable);

    // The key of a note's entry: the components of its path below the synchronised folder,
    // joined with "/" ("Recipes/Bread.md"); none outside that folder and for the folder itself.
    static std::optional<QString> keyValueKey(const QUrl& fileURL);

private:
    platform::Dispatcher& dispatcher_;
    mutable std::mutex mutex_;
    std::shared_ptr<platform::KeyValueStore> store_;
};

} // namespace quillet
