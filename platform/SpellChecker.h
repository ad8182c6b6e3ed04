#pragma once
// The spell checker: Enchant over the dictionaries installed on the system (Hunspell's among
// them), with the user's personal word list. One dictionary is in use at a time; answers are
// remembered per word until the dictionary or its words change (wordsChanged). Without any
// dictionary every word counts as correct. Main thread only.

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>

typedef struct str_enchant_broker EnchantBroker;
typedef struct str_enchant_dict EnchantDict;

namespace quillet::platform {

class SpellChecker final : public QObject {
    Q_OBJECT

public:
    // The application's checker.
    static SpellChecker& shared();

    // Enchant reads its configuration (the personal word lists) from ENCHANT_CONFIG_DIR when
    // set, else from the user's XDG config folder. Neither Enchant nor a dictionary is loaded
    // until a word is checked: starting the application costs nothing.
    SpellChecker();
    ~SpellChecker() override;

    // The tags of the installed dictionaries ("en_US", "de_DE", ...), sorted.
    QStringList availableLanguages() const;
    // The dictionary to use for a locale name such as "de_DE": its own, else its language's
    // ("de_DE" for "de_AT"), else "en_US", else the first one there is; empty without any.
    static QString preferredLanguage(const QStringList& available, const QString& localeName);

    // Uses the dictionary of `tag` from the next word on; when it is missing, or `tag` is
    // empty, the one preferredLanguage() gives for the system's locale.
    void setLanguage(const QString& tag);
    // The language of the dictionary in use (loading it); empty without any dictionary.
    QString language();
    bool hasDictionary() { return !language().isEmpty(); }

    bool isCorrect(QStringView word);
    // At most `limit` replacements, the likeliest first.
    QStringList suggestions(QStringView word, int limit = 5);
    // Adds the word to the user's personal word list of the language, kept across runs.
    void addToPersonalDictionary(QStringView word);
    // Accepts the word until the application quits.
    void ignore(QStringView word);

signals:
    // Words once misspelled may be correct now (or the other way round): check them again.
    void wordsChanged();

private:
    EnchantBroker* broker() const;
    EnchantDict* dictionary();
    void forgetAnswers();

    mutable EnchantBroker* broker_ = nullptr;
    EnchantDict* dictionary_ = nullptr;
    bool loaded_ = false;
    QString wanted_;
    QString language_;
    QHash<QString, bool> answers_;
};

} // namespace quillet::platform
