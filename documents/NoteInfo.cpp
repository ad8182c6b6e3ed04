#include "documents/NoteInfo.h"

#include "platform/ItemLock.h"
#include "platform/TextFiles.h"

#include <QFileInfo>
#include <QTextBoundaryFinder>

namespace quillet {

namespace {

bool holdsLetterOrDigit(QStringView word) {
    for (const QChar c : word)
        if (c.isLetterOrNumber()) return true;
    return false;
}

QString dateText(const std::optional<QDateTime>& date, const QLocale& locale) {
    return date ? locale.toString(*date, QLocale::ShortFormat) : QString();
}

} // namespace

TextCounts countText(const QString& text) {
    TextCounts counts;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    while (graphemes.toNextBoundary() > 0)
        ++counts.characters;
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
    qsizetype start = 0;
    for (qsizetype end = words.toNextBoundary(); end > 0; end = words.toNextBoundary()) {
        if (holdsLetterOrDigit(QStringView(text).mid(start, end - start))) ++counts.words;
        start = end;
    }
    return counts;
}

NoteFacts readNoteFacts(const QString& path) {
    NoteFacts facts;
    facts.size = QFileInfo(path).size();
    const auto locked = platform::isLocked(path);
    facts.locked = locked.ok() && *locked;
    if (const platform::TextReadResult read = platform::readUtf8File(path); read.text)
        facts.counts = countText(*read.text);
    return facts;
}

QVariantMap noteInfoRecord(const FileRepresentation& note, const NoteFacts& facts, const QLocale& locale) {
    QVariantMap info;
    info[QStringLiteral("Title")] = note.displayName.value_or(note.filename.value_or(QString()));
    info[QStringLiteral("Filename")] = QFileInfo(note.path()).fileName();
    info[QStringLiteral("Size")] = locale.toString(qlonglong(facts.size));
    info[QStringLiteral("Created")] = dateText(note.creationDate ? note.creationDate : note.lastModified, locale);
    info[QStringLiteral("Modified")] = dateText(note.lastModified, locale);
    info[QStringLiteral("Locked")] = facts.locked ? QStringLiteral("Yes") : QStringLiteral("No");
    info[QStringLiteral("Kind")] = QStringLiteral("Plain Text");
    if (note.UTI) info[QStringLiteral("fileUTI")] = *note.UTI;
    info[QStringLiteral("Text Encoding")] = QStringLiteral("UTF8");
    info[QStringLiteral("Line Break")] = QStringLiteral("LF");
    info[QStringLiteral("Characters")] = locale.toString(qlonglong(facts.counts.characters));
    info[QStringLiteral("Words")] = locale.toString(qlonglong(facts.counts.words));
    return info;
}

} // namespace quillet
