#pragma once
// A small dictionary store kept in a JSON file, standing in for the cloud key-value store: keys
// are strings, values are what JSON holds (strings, numbers, booleans, maps, lists). Changes
// are kept in memory until synchronize(), which merges them with what other processes (other
// devices, through the synchronised folder) wrote meanwhile and writes the file atomically.
// Keys changed from outside are reported to the change handler, the "changed from outside"
// notification. Thread-safe.

#include "platform/Status.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <functional>
#include <mutex>
#include <optional>
#include <set>

namespace quillet::platform {

class KeyValueStore {
public:
    using ChangeHandler = std::function<void(const QStringList& changedKeys)>;

    // Loads the file when it exists; a missing file is an empty store.
    explicit KeyValueStore(QString filePath);

    QVariant object(const QString& key) const; // invalid when absent
    std::optional<QVariantMap> dictionary(const QString& key) const;
    void setObject(const QString& key, const QVariant& value); // an invalid value removes
    void remove(const QString& key);
    QVariantMap dictionaryRepresentation() const;

    // Reads the file, takes in the keys that changed there since the last synchronisation
    // (local changes not yet written win over them), writes the local changes atomically, and
    // then calls the change handler (outside the store's lock) with the keys changed from
    // outside, when there are any. A file that is not a JSON object is left untouched and fails.
    // Conflict copies of the file that a sync engine left beside it are merged in (an entry
    // only the copy has is kept; of entries both have, the newer file's fields win) and, once
    // the merged file is written, removed.
    Status synchronize();

    // Called on the thread that runs synchronize(); replaces the previous handler.
    void setChangeHandler(ChangeHandler handler);

    QString filePath() const { return filePath_; }

private:
    Result<QVariantMap> readFile() const;
    // Merges the conflict copies into `disk`; the paths of those merged.
    QStringList mergeConflictCopies(QVariantMap& disk) const;

    QString filePath_;
    mutable std::mutex mutex_;
    QVariantMap values_;
    QVariantMap lastSynced_; // the file's content as of the last synchronisation
    std::set<QString> pending_;
    ChangeHandler handler_;
};

} // namespace quillet::platform
