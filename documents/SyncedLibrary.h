#pragma once
// What the main controller keeps while a synchronised folder is shown as the "Synced" top: the
// folder, its key-value store (the notes' selections, display names and locks, shared with the
// other machines through the folder) and the live query that keeps the top's subtree current.

#include "documents/NoteMetadata.h"
#include "documents/SyncedLibraryQuery.h"
#include "platform/KeyValueStore.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace quillet {

struct SyncedLibrary {
    QString root; // the folder the user chose
    std::shared_ptr<platform::KeyValueStore> store;
    NoteMetadata metadata;
    std::unique_ptr<SyncedLibraryQuery> query;
    // Until the first pass has listed the library: what waits for it (a note named at launch).
    bool listed = false;
    std::vector<std::function<void()>> afterFirstPass;

    SyncedLibrary(platform::Dispatcher& dispatcher, QString folder)
        : root(std::move(folder)), metadata(dispatcher) {}
};

} // namespace quillet
