#include "documents/PreviewElements.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quillet {

namespace {

constexpr std::array kVoidElements{u"area", u"base", u"br", u"col", u"embed", u"hr", u"img", u"input",
                                   u"link", u"meta", u"param", u"source", u"track", u"wbr"};

bool isVoidElement(QStringView name) {
    return std::any_of(kVoidElements.begin(), kVoidElements.end(), [name](const char16_t* known) {
        return name.compare(QStringView(known), Qt::CaseInsensitive) == 0;
    });
}

bool isNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u':';
}

} // namespace

PreviewPatch diffPreviewElements(const QStringList& before, const QStringList& after) {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {prefix, before.size() - prefix - suffix, after.mid(prefix, after.size() - prefix - suffix)};
}

void applyPreviewPatch(QStringList& elements, const PreviewPatch& patch) {
    const qsizetype start = std::clamp<qsizetype>(patch.start, 0, elements.size());
    elements.remove(start, std::min(patch.removed, elements.size() - start));
    for (qsizetype i = 0; i < patch.inserted.size(); ++i)
        elements.insert(start + i, patch.inserted[i]);
}

void HtmlNesting::scan(const QString& html) {
    for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
        if (QStringView(html).mid(at).startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(QStringLiteral("-->"), at + 4);
            if (end < 0) return;
            at = end;
            continue;
        }
        const bool closing = at + 1 < html.size() && html[at + 1] == u'/';
        const qsizetype nameStart = at + (closing ? 2 : 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < html.size() && isNameCharacter(html[nameEnd]))
            ++nameEnd;
        if (nameEnd == nameStart || !html[nameStart].isLetter()) continue;
        const QStringView name = QStringView(html).mid(nameStart, nameEnd - nameStart);
        if (isVoidElement(name)) continue;
        const qsizetype tagEnd = html.indexOf(u'>', nameEnd);
        if (tagEnd < 0) return;
        // Only inside SVG and MathML does "/>" close the element it opens.
        const bool selfClosed = html[tagEnd - 1] == u'/' &&
                                (open_.contains(QLatin1String("svg")) || open_.contains(QLatin1String("math")));
        if (closing)
            closeElement(name);
        else if (!selfClosed)
            open_.append(name.toString().toLower());
        at = tagEnd;
    }
}

// A closing tag with nothing open is dropped (or makes its own element) the same way wherever
// the piece is parsed.
void HtmlNesting::closeElement(QStringView name) {
    if (open_.isEmpty()) return;
    if (name.compare(open_.last(), Qt::CaseInsensitive) == 0)
        open_.removeLast();
    else
        misnested_ = true;
}

void PreviewElementJoiner::add(QString piece, bool isRawHTML) {
    // Lines of one HTML block are one piece: the parser may join their text.
    if (isRawHTML && lastWasRaw_ && open_.isEmpty() && !pieces_.isEmpty()) piece.prepend(pieces_.takeLast());
    lastWasRaw_ = isRawHTML;
    nesting_.scan(piece);
    open_ += piece;
    if (!nesting_.isBalanced()) return;
    pieces_.append(std::exchange(open_, {}));
}

QStringList PreviewElementJoiner::finish() {
    if (!open_.isEmpty()) pieces_.append(std::exchange(open_, {}));
    nesting_ = {};
    lastWasRaw_ = false;
    return std::exchange(pieces_, {});
}

} // namespace quillet
