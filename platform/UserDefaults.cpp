#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>

namespace quillet::platform {
namespace {

bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

} // namespace

UserDefaults& UserDefaults::standard() {
    static UserDefaults defaults(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                             QCoreApplication::organizationName(),
                                                             QCoreApplication::applicationName()));
    return defaults;
}

UserDefaults::UserDefaults(const QString& iniFilePath)
    : UserDefaults(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat)) {}

UserDefaults::UserDefaults(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {
    registerPlatformValues();
}

UserDefaults::~UserDefaults() = default;

void UserDefaults::registerPlatformValues() {
    registered_.insert(QString::fromLatin1(defaults_keys::kPreferredLanguages),
                       QLocale::system().uiLanguages());
}

void UserDefaults::registerDefaults(const QVariantMap& values) {
    std::lock_guard lock(mutex_);
    for (auto it = values.begin(); it != values.end(); ++it)
        registered_.insert(it.key(), it.value());
}

QVariant UserDefaults::object(const QString& key) const {
    std::lock_guard lock(mutex_);
    // Lists are stored wrapped in a one-key map: QSettings would read a one-element list back
    // as a plain string.
    QVariant value = settings_->value(key);
    if (value.typeId() == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        if (map.size() == 1 && map.contains(QStringLiteral("@list")))
            return map.value(QStringLiteral("@list"));
    }
    if (value.isValid()) return value;
    return registered_.value(key);
}

bool UserDefaults::contains(const QString& key) const {
    return object(key).isValid();
}

void UserDefaults::setObject(const QString& key, const QVariant& value) {
    if (!value.isValid()) return remove(key);
    std::lock_guard lock(mutex_);
    const int type = value.typeId();
    if (type == QMetaType::QVariantList || type == QMetaType::QStringList)
        settings_->setValue(key, QVariantMap{{QStringLiteral("@list"), value.toList()}});
    else
        settings_->setValue(key, value);
}

void UserDefaults::remove(const QString& key) {
    std::lock_guard lock(mutex_);
    settings_->remove(key);
}

std::optional<QString> UserDefaults::string(const QString& key) const {
    const QVariant value = object(key);
    if (value.typeId() == QMetaType::QString) return value.toString();
    if (isNumber(value) && value.typeId() != QMetaType::Bool) return value.toString();
    return std::nullopt;
}

std::optional<double> UserDefaults::number(const QString& key) const {
    const QVariant value = object(key);
    bool ok = false;
    // The INI file keeps plain numbers as text; they come back as strings.
    const double number = value.toDouble(&ok);
    if (ok && (isNumber(value) || value.typeId() == QMetaType::QString)) return number;
    return std::nullopt;
}

std::optional<QVariantMap> UserDefaults::dictionary(const QString& key) const {
    const QVariant value = object(key);
    if (value.typeId() == QMetaType::QVariantMap) return value.toMap();
    return std::nullopt;
}

std::optional<QVariantList> UserDefaults::array(const QString& key) const {
    const QVariant value = object(key);
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList)
        return value.toList();
    return std::nullopt;
}

std::optional<QStringList> UserDefaults::stringArray(const QString& key) const {
    const auto list = array(key);
    if (!list) return std::nullopt;
    QStringList strings;
    for (const QVariant& element : *list) {
        if (element.typeId() != QMetaType::QString) return std::nullopt;
        strings.append(element.toString());
    }
    return strings;
}

std::optional<QDateTime> UserDefaults::date(const QString& key) const {
    const QVariant value = object(key);
    if (value.typeId() == QMetaType::QDateTime) return value.toDateTime();
    return std::nullopt;
}

bool UserDefaults::boolean(const QString& key) const {
    const QVariant value = object(key);
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        return text == u"true" || text == u"YES" || (text.toDouble() != 0.0);
    }
    return isNumber(value) && value.toDouble() != 0.0;
}

bool UserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

QString UserDefaults::filePath() const {
    std::lock_guard lock(mutex_);
    return settings_->fileName();
}

} // namespace quillet::platform
