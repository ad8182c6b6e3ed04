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
    "})");

QString patchScript(qsizetype start, qsizetype removed, const QStringList& pieces, qsizetype from,
                    qsizetype to) {
    QString script = kPatchFunction;
    script += QStringLiteral("(%1, %2, [").arg(start).arg(removed);
    for (qsizetype i = from; i < to; ++i) {
        if (i > from) script += QLatin1Char(',');
        script += javaScriptStringLiteral(pieces[i]);
    }
    script += QLatin1String("]);");
    return script;
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
    const QStringView view(text);
    qsizetype plain = 0; // start of the run of characters that need no escape
    const auto escape = [&](qsizetype at, QLatin1String replacement) {
        literal += view.mid(plain, at - plain);
        literal += replacement;
        plain = at + 1;
    };
    for (qsizetype at = 0; at < view.size(); ++at) {
        switch (view[at].unicode()) {
        case u'\\': escape(at, QLatin1String("\\\\")); break;
        case u'\'': escape(at, QLatin1String("\\'")); break;
        case u'\n': escape(at, QLatin1String("\\n")); break;
        case u'\r': escape(at, QLatin1String("\\r")); break;
        case 0x2028: escape(at, QLatin1String("\\u2028")); break;
        case 0x2029: escape(at, QLatin1String("\\u2029")); break;
        default: break;
        }
    }
    literal += view.mid(plain);
    literal += QLatin1Char('\'');
    return literal;
}

} // namespace quillet
