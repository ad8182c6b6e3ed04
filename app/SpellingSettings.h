#pragma once
// The spell checker's settings: whether the editor checks spelling as the user types (on unless
// turned off in Edit > Spelling) and the dictionary's language (the system's unless one was
// chosen in the preferences).

#include <QString>

namespace quillet {

namespace platform {
class SpellChecker;
class UserDefaults;
} // namespace platform

inline constexpr char kSpellCheckingKey[] = "spellChecking";
inline constexpr char kSpellingLanguageKey[] = "spellingLanguage";

bool spellCheckingOn(const platform::UserDefaults& defaults);
void storeSpellChecking(platform::UserDefaults& defaults, bool on);

// The language chosen in the preferences; empty when the system's is followed.
QString storedSpellingLanguage(const platform::UserDefaults& defaults);
void storeSpellingLanguage(platform::UserDefaults& defaults, const QString& tag);

// Gives `checker` the stored language's dictionary, else the one for the system's locale
// (loaded when the first word is checked).
void applySpellingLanguage(const platform::UserDefaults& defaults, platform::SpellChecker& checker);

} // namespace quillet
