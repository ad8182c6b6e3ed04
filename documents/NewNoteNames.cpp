#include "documents/NewNoteNames.h"

namespace quillet {

QString newNoteName(const QDateTime& now, const QLocale& locale) {
    return QStringLiteral("Note %1").arg(locale.toString(now, QStringLiteral("yyyy.MMM.dd_HH.mm.ss")));
}

QString newNoteText(const QString& name) {
    return QStringLiteral("# %1 #\n").arg(name);
}

QString textWithTitle(const QString& text, const QString& name) {
    if (text.isEmpty()) return text;
    const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'));
    return newNoteText(name) + (lineBreak < 0 ? QString() : text.mid(lineBreak + 1));
}

} // namespace quillet
