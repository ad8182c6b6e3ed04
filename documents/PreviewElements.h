#pragma once
// The preview's body as a list of top-level pieces of HTML, and the patch that turns one such
// list into the next: a refresh replaces only the pieces an edit changed.

#include <QString>
#include <QStringList>

namespace quillet {

// Replace `removed` pieces from `start` on with `inserted`.
struct PreviewPatch {
    qsizetype start = 0;
    qsizetype removed = 0;
    QStringList inserted;

    bool isEmpty() const { return removed == 0 && inserted.isEmpty(); }
};

// The pieces the two lists do not share at their start and end.
PreviewPatch diffPreviewElements(const QStringList& before, const QStringList& after);
void applyPreviewPatch(QStringList& elements, const PreviewPatch& patch);

// The elements a run of HTML leaves open, as far as its tags tell (void tags open none, nor do
// self-closed ones in SVG or MathML: elsewhere "<code/>" opens a "code"; comments are skipped). A closing tag that is not the innermost open one's makes the
// parser rebuild elements in ways the tags alone do not tell: the run is then misnested.
class HtmlNesting {
public:
    void scan(const QString& html);
    bool isBalanced() const { return open_.isEmpty() && !misnested_; }
    bool isMisnested() const { return misnested_; }

private:
    void closeElement(QStringView name);

    QStringList open_;
    bool misnested_ = false;
};

// Joins a piece whose raw HTML leaves an element open with the pieces up to the one that closes
// it, so that each piece parses on its own into what it is in the whole body (an unclosed
// "<div>" around paragraphs). Misnested HTML joins everything after it into one piece.
class PreviewElementJoiner {
public:
    void add(QString piece, bool isRawHTML);
    // The pieces so far, with a run still open taken as it stands.
    QStringList finish();

private:
    QStringList pieces_;
    QString open_; // pieces joined until their elements close
    HtmlNesting nesting_;
    bool lastWasRaw_ = false;
};

} // namespace quillet
