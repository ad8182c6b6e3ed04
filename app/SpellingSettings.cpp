#include "app/SpellingSettings.h"

#include "platform/SpellChecker.h"
#include "platform/UserDefaults.h"

namespace quillet {

bool spellCheckingOn(const platform::UserDefaults& defaults) {
    const QVariant stored = defaults.object(QString::fromLatin1(kSpellCheckingKey));
    return !stored.isValid() || stored.toBool();
}

void storeSpellChecking(platform::UserDefaults& defaults, bool on) {
    defaults.setObject(QString::fromLatin1(kSpellCheckingKey), on);
}

QString storedSpellingLanguage(const platform::UserDefaults& defaults) {
    return defaults.string(QString::fromLatin1(kSpellingLanguageKey)).value_or(QString());
}

void storeSpellingLanguage(platform::UserDefaults& defaults, const QString& tag) {
    defaults.setObject(QString::fromLatin1(kSpellingLanguageKey), tag);
}

void applySpellingLanguage(const platform::UserDefaults& defaults, platform::SpellChecker& checker) {
    // A chosen dictionary uninstalled since gives way to the system's (SpellChecker::setLanguage).
    checker.setLanguage(storedSpellingLanguage(defaults));
}

} // namespace quillet
