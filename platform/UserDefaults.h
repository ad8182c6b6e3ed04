#pragma once
// The user defaults: the application's per-user settings in an INI file (QSettings, XDG config
// folder), with the key names of the design unchanged ("RQ1DlastSortMode", "NSFont", ...).
// Records are stored as maps and arrays as lists, so they keep their value types across runs.
// Registered defaults answer for keys that hold no stored value. Thread-safe.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <memory>
#include <mutex>
#include <optional>

class QSettings;

namespace quillet::platform {

// The keys of the user defaults.
namespace defaults_keys {
inline constexpr char kLastOpenedFilepath[] = "RQ1DlastOpenedFilepath";
inline constexpr char kMarkdownOptions[] = "RQ1DmarkdownOptions";
inline constexpr char kSelectedMarkdownStyle[] = "RQ1DselectedMarkdownStyle";
inline constexpr char kDefaultFontName[] = "RQ1DdefaultFontName";
inline constexpr char kDefaultFontSize[] = "RQ1DdefaultFontSize";
inline constexpr char kLastOpenedFolder[] = "RQ1DlastOpenedFolder";
inline constexpr char kRecentOpenedFolders[] = "RQ1DrecentOpenedFolders";
inline constexpr char kPopoverDepth[] = "RQ1DpopoverDepth";
inline constexpr char kLastSortMode[] = "RQ1DlastSortMode";
inline constexpr char kMarkdownStyleVersion[] = "MarkdownStyle_Version";
inline constexpr char kMarkdownStyleCreateDate[] = "MarkdownStyle_CreateDate";
inline constexpr char kSystemFont[] = "NSFont";
inline constexpr char kPreferredLanguages[] = "AppleLanguages";
} // namespace defaults_keys

class UserDefaults {
public:
    // The application's own store: QSettings in INI format in the user's XDG config folder,
    // named after the application (QCoreApplication organisation and application names).
    static UserDefaults& standard();

    // A store on the given INI file (tests use a file in a temporary folder).
    explicit UserDefaults(const QString& iniFilePath);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // Values that answer for keys without a stored value. "AppleLanguages" is always registered
    // with QLocale::uiLanguages(); the application registers "NSFont" with its font's family.
    void registerDefaults(const QVariantMap& values);

    // The stored value, else the registered one, else an invalid QVariant.
    QVariant object(const QString& key) const;
    bool contains(const QString& key) const; // stored or registered
    void setObject(const QString& key, const QVariant& value);
    void remove(const QString& key);

    std::optional<QString> string(const QString& key) const; // strings (and numbers) only
    std::optional<double> number(const QString& key) const;  // numbers and numeric strings
    std::optional<QVariantMap> dictionary(const QString& key) const;
    std::optional<QVariantList> array(const QString& key) const;
    std::optional<QStringList> stringArray(const QString& key) const; // every element a string
    std::optional<QDateTime> date(const QString& key) const;
    bool boolean(const QString& key) const; // absent reads as false

    // Writes pending changes to disk and takes in changes of other processes.
    bool synchronize();
    QString filePath() const;

private:
    explicit UserDefaults(std::unique_ptr<QSettings> settings);
    void registerPlatformValues();

    mutable std::mutex mutex_;
    std::unique_ptr<QSettings> settings_;
    QVariantMap registered_;
};

} // namespace quillet::platform
