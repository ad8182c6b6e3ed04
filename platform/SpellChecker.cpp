#include "platform/SpellChecker.h"

#include <QLocale>
#include <algorithm>
#include <enchant.h>

namespace quillet::platform {

namespace {

// Enough for the words of a long note; past it the answers start over rather than grow.
constexpr qsizetype kMaximumRememberedAnswers = 200000;

// Dictionaries know the typewriter apostrophe; typographic ones ("don’t") are read as it.
QByteArray utf8Word(QStringView word) {
    QString plain = word.toString();
    plain.replace(QChar(0x2019), QLatin1Char('\''));
    return plain.toUtf8();
}

void collectTag(const char* const tag, const char* const, const char* const, const char* const, void* into) {
    auto* tags = static_cast<QStringList*>(into);
    const QString name = QString::fromUtf8(tag);
    if (!tags->contains(name)) tags->append(name);
}

} // namespace

SpellChecker& SpellChecker::shared() {
    static SpellChecker* checker = new SpellChecker; // lives as long as the application
    return *checker;
}

SpellChecker::SpellChecker() = default;

SpellChecker::~SpellChecker() {
    if (dictionary_) enchant_broker_free_dict(broker_, dictionary_);
    if (broker_) enchant_broker_free(broker_);
}

QStringList SpellChecker::availableLanguages() const {
    QStringList tags;
    if (EnchantBroker* enchant = broker()) enchant_broker_list_dicts(enchant, collectTag, &tags);
    tags.sort();
    return tags;
}

QString SpellChecker::preferredLanguage(const QStringList& available, const QString& localeName) {
    if (available.contains(localeName)) return localeName;
    const QString language = localeName.section(QLatin1Char('_'), 0, 0) + QLatin1Char('_');
    const auto sameLanguage = std::find_if(available.begin(), available.end(),
                                           [&](const QString& tag) { return tag.startsWith(language); });
    if (sameLanguage != available.end()) return *sameLanguage;
    if (available.contains(QLatin1String("en_US"))) return QStringLiteral("en_US");
    return available.value(0);
}

void SpellChecker::setLanguage(const QString& tag) {
    if (loaded_ && !tag.isEmpty() && tag == language_) return;
    if (dictionary_) enchant_broker_free_dict(broker_, dictionary_);
    dictionary_ = nullptr;
    language_.clear();
    loaded_ = false;
    wanted_ = tag;
    forgetAnswers();
}

QString SpellChecker::language() {
    dictionary();
    return language_;
}

EnchantBroker* SpellChecker::broker() const {
    if (!broker_) broker_ = enchant_broker_init();
    return broker_;
}

EnchantDict* SpellChecker::dictionary() {
    if (loaded_) return dictionary_;
    loaded_ = true;
    EnchantBroker* enchant = broker();
    if (!enchant) return nullptr;
    const auto request = [&](const QString& tag) {
        if (!tag.isEmpty()) dictionary_ = enchant_broker_request_dict(enchant, tag.toUtf8().constData());
        if (dictionary_) language_ = tag;
    };
    request(wanted_);
    if (!dictionary_) request(preferredLanguage(availableLanguages(), QLocale::system().name()));
    return dictionary_;
}

bool SpellChecker::isCorrect(QStringView word) {
    if (word.isEmpty() || !dictionary()) return true;
    const QString key = word.toString();
    const auto known = answers_.constFind(key);
    if (known != answers_.constEnd()) return *known;
    const QByteArray utf8 = utf8Word(word);
    // A failure to check (negative) is no reason to underline.
    const bool correct = enchant_dict_check(dictionary_, utf8.constData(), utf8.size()) <= 0;
    if (answers_.size() >= kMaximumRememberedAnswers) answers_.clear();
    answers_.insert(key, correct);
    return correct;
}

QStringList SpellChecker::suggestions(QStringView word, int limit) {
    QStringList result;
    if (word.isEmpty() || !dictionary()) return result;
    const QByteArray utf8 = utf8Word(word);
    std::size_t count = 0;
    char** found = enchant_dict_suggest(dictionary_, utf8.constData(), utf8.size(), &count);
    for (std::size_t i = 0; i < count && result.size() < limit; ++i)
        result.append(QString::fromUtf8(found[i]));
    if (found) enchant_dict_free_string_list(dictionary_, found);
    return result;
}

void SpellChecker::addToPersonalDictionary(QStringView word) {
    if (word.isEmpty() || !dictionary()) return;
    const QByteArray utf8 = utf8Word(word);
    enchant_dict_add(dictionary_, utf8.constData(), utf8.size());
    forgetAnswers();
}

void SpellChecker::ignore(QStringView word) {
    if (word.isEmpty() || !dictionary()) return;
    const QByteArray utf8 = utf8Word(word);
    enchant_dict_add_to_session(dictionary_, utf8.constData(), utf8.size());
    forgetAnswers();
}

void SpellChecker::forgetAnswers() {
    answers_.clear();
    emit wordsChanged();
}

} // namespace quillet::platform

#include "moc_SpellChecker.cpp"
