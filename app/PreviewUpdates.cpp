#include "app/PreviewUpdates.h"

namespace quillet {

namespace {

// Parsing each piece in a template leaves its images unloaded and its scripts unrun until the
// nodes join the page; the counts say which nodes belong to which piece.
const QString kPatchFunction = QStringLiteral(
    "(function(start, removed, pieces) {"
    "  const counts = window.quilletPieces || (window.quilletPieces = []);"
    "  const body = document.body;"
    "  let at = 0;"
    "  for (let i = 0; i < start; ++i) at += counts[i];"
    "  let gone = 0;"
    "  for (let i = start; i < start + removed; ++i) gone += counts[i];"
    "  for (let i = 0; i < gone; ++i) body.removeChild(body.childNodes[at]);"
    "  const next = body.childNodes[at] || null;"
    "  const parsed = document.createElement('template');"
    "  const added = [];"
    "  for (const piece of pieces) {"
    "    parsed.innerHTML = piece;"
    "    added.push(parsed.content.childNodes.length);"
    "    body.insertBefore(parsed.content, next);"
    "  }"
    "  counts.splice(start, removed, ...added);"
    "  return true;"
    "})(%1, %2, [%3]);");

QString patchScript(qsizetype start, qsizetype removed, const QStringList& pieces, qsizetype from,
                    qsizetype to) {
    QString list;
    for (qsizetype i = from; i < to; ++i) {
        if (i > from) list += QLatin1Char(',');
        list += javaScriptStringLiteral(pieces[i]);
    }
    return kPatchFunction.arg(start).arg(removed).arg(list);
}

} // namespace

QStringList previewPatchScripts(qsizetype start, qsizetype removed, const QStringList& inserted,
                                qsizetype budget) {
    QStringList scripts;
    qsizetype from = 0;
    do {
        qsizetype to = from;
        qsizetype size = 0;
        while (to < inserted.size() && (to == from || size + inserted[to].size() <= budget))
            size += inserted[to++].size();
        scripts.append(patchScript(start + from, scripts.isEmpty() ? removed : 0, inserted, from, to));
        from = to;
    } while (from < inserted.size());
    return scripts;
}

QString javaScriptStringLiteral(const QString& text) {
    QString literal;
    literal.reserve(text.size() + text.size() / 8 + 2);
    literal += QLatin1Char('\'');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': literal += QLatin1String("\\\\"); break;
        case u'\'': literal += QLatin1String("\\'"); break;
        case u'\n': literal += QLatin1String("\\n"); break;
        case u'\r': literal += QLatin1String("\\r"); break;
        case 0x2028: literal += QLatin1String("\\u2028"); break;
        case 0x2029: literal += QLatin1String("\\u2029"); break;
        default: literal += c;
        }
    }
    literal += QLatin1Char('\'');
    return literal;
}

} // namespace quillet
