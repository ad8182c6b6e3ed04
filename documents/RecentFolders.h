#pragma once
// The folders the user opened, oldest first, and the one open now, kept in the user defaults
// ("RQ1DrecentOpenedFolders", "RQ1DlastOpenedFolder") as entries {"path", "bookmark"}, so that
// the Open Recent Folder menu and the next launch find them again.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <optional>

namespace quillet {

namespace platform {
class UserDefaults;
}

struct RecentFolder {
    QString path;
    QByteArray bookmark;

    QVariantMap toEntry() const;
    // None for an entry without a path.
    static std::optional<RecentFolder> fromEntry(const QVariant& entry);
    // The folder's name, as the menu shows it.
    QString title() const;
    bool operator==(const RecentFolder&) const = default;
};

class RecentFolders {
public:
    explicit RecentFolders(platform::UserDefaults& defaults) : defaults_(defaults) {}

    // Takes in the stored list (at start).
    void load();
    const QList<RecentFolder>& entries() const { return entries_; }
    // Moves the folder to the end of the list (one entry per path) and stores the list.
    void add(const RecentFolder& folder);
    // Empties the list and removes it from the defaults; the open folder stays open.
    void clear();

    std::optional<RecentFolder> lastOpened() const;
    void setLastOpened(const RecentFolder& folder);
    void forgetLastOpened();

private:
    platform::UserDefaults& defaults_;
    QList<RecentFolder> entries_;
};

} // namespace quillet
