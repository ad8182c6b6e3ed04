#pragma once
// The scripts that apply a patch of the preview's body in the page. They run in the
// application's script world (the page's own scripts stay off) and keep, in that world, how
// many nodes each piece of the body became, so that a later patch finds its pieces' nodes.

#include <QString>
#include <QStringList>

namespace quillet {

// The patch as scripts to run in order, each carrying at most about `budget` characters of HTML.
QStringList previewPatchScripts(qsizetype start, qsizetype removed, const QStringList& inserted,
                                qsizetype budget = 256 * 1024);

// `text` as a JavaScript string literal in single quotes.
QString javaScriptStringLiteral(const QString& text);

} // namespace quillet
