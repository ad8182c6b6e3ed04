#include "editor/MarkdownViewController.h"

#include "editor/ArithmeticCommand.h"
#include "editor/EditorPopovers.h"
#include "editor/FirstLineName.h"
#include "editor/IndentingDocumentLayout.h"
#include "editor/InputSourceCaret.h"
#include "editor/LineBreaks.h"
#include "editor/MarkdownCommands.h"
#include "editor/MarkdownKeyCommands.h"
#include "editor/MarkdownTextView.h"
#include "editor/QtFontProvider.h"
#include "editor/SpellMarks.h"
#include "editor/StyledTextDocument.h"
#include "engine/MarkdownString.h"
#include "engine/TextStore.h"
#include "platform/DelayedCall.h"
#include "platform/SpellChecker.h"
#include "platform/TypeIdentifiers.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QProgressBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace quillet {

namespace {

// Layout completes once typing pauses; the first line is read again once the user stopped
// editing it.
constexpr platform::Duration kForceLayoutDelay = platform::seconds(0.5);
constexpr platform::Duration kScanFirstLineDelay = platform::seconds(2.0);
constexpr double kDefaultFontSize = 12.0;
// How many restyled lines the pause after an edit lays out at most (about 10 ms of work).
constexpr int kDeferredLayoutBlocks = 100;

} // namespace

struct MarkdownViewController::Private {
    Private(MarkdownViewController& owner, platform::Dispatcher& dispatcher)
        : owner(owner), scanFirstLineCall(dispatcher), forceLayoutCall(dispatcher) {}

    bool isMarkdown() const { return fileUTI == QLatin1String(platform::kMarkdownTypeIdentifier); }
    void applyFontForType();
    void textEdited(std::size_t location, Range restyledBeyond);
    void selectionChanged();
    void updateCaretColor();
    Range firstLineContents() const;
    void completePendingLayout();

    MarkdownViewController& owner;
    EditorHost* host = nullptr;
    MarkdownString engine;
    QtFontProvider fonts;
    MarkdownTextView* textView = nullptr;
    QProgressBar* progressIndicator = nullptr;
    std::unique_ptr<StyledTextDocument> styled;
    std::unique_ptr<SpellMarks> spelling;

    bool editState = true;
    QString fileUTI = QLatin1String(platform::kMarkdownTypeIdentifier);
    QString searchTarget;
    QFont selectedFont;
    bool caretIsBlue = false;

    bool reportSelection = true;
    Range reportedSelection{0, 0};
    std::optional<Range> pendingLayout;
    platform::DelayedCall scanFirstLineCall;
    platform::DelayedCall forceLayoutCall;
    std::unique_ptr<MarkdownKeyCommands> keyCommands;
};

MarkdownViewController::MarkdownViewController(platform::Dispatcher& dispatcher, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(*this, dispatcher)) {
    d->textView = new MarkdownTextView(this);
    d->progressIndicator = new QProgressBar(this);
    d->progressIndicator->setRange(0, 0);
    d->progressIndicator->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(d->textView);
    layout->addWidget(d->progressIndicator);

    d->textView->setUndoRedoEnabled(true);
    d->textView->setTabChangesFocus(false);
    d->textView->document()->setDefaultTextOption(QTextOption()); // no tab stops: see IndentingDocumentLayout
    d->selectedFont = QFont(QStringLiteral("Helvetica"));
    d->selectedFont.setPointSizeF(kDefaultFontSize);

    d->styled = std::make_unique<StyledTextDocument>(*d->textView, d->engine, d->fonts);
    d->spelling = std::make_unique<SpellMarks>(*d->textView, *d->styled, platform::SpellChecker::shared(),
                                               dispatcher);
    d->applyFontForType();

    connect(d->styled.get(), &StyledTextDocument::textEdited, this,
            [this](std::size_t location, std::size_t, Range restyledBeyond) {
                d->textEdited(location, restyledBeyond);
            });
    connect(d->textView, &QPlainTextEdit::cursorPositionChanged, this, [this] { d->selectionChanged(); });
    connect(d->textView, &QPlainTextEdit::selectionChanged, this, [this] { d->selectionChanged(); });
    connect(d->textView, &MarkdownTextView::paletteChanged, this, [this] {
        d->styled->paletteChanged();
        d->updateCaretColor();
    });
    connect(QGuiApplication::inputMethod(), &QInputMethod::localeChanged, this,
            [this] { d->updateCaretColor(); });
    d->updateCaretColor();
    d->keyCommands = std::make_unique<MarkdownKeyCommands>(*this);
    popovers_ = new EditorPopovers(*this, dispatcher);
}

MarkdownViewController::~MarkdownViewController() {
    delete popovers_;
    d->keyCommands.reset();
    d->scanFirstLineCall.cancel();
    d->forceLayoutCall.cancel();
    d->spelling.reset();
    d->styled.reset();
    // The text view outlives this object's state (QWidget deletes it later): no more notices.
    disconnect(d->textView, nullptr, this, nullptr);
    disconnect(QGuiApplication::inputMethod(), nullptr, this, nullptr);
}

void MarkdownViewController::setHost(EditorHost* host) {
    d->host = host;
}

QPlainTextEdit* MarkdownViewController::textView() const {
    return d->textView;
}
QProgressBar* MarkdownViewController::progressIndicator() const {
    return d->progressIndicator;
}
MarkdownString& MarkdownViewController::markdownString() {
    return d->engine;
}
TextStore& MarkdownViewController::textStorage() {
    return d->styled->store();
}

void MarkdownViewController::setString(const QString& text) {
    popovers_->textReplaced();
    d->textView->setReadOnly(!d->editState);
    const QString converted = convertLineBreak(text);
    d->styled->setAttached(true);
    d->applyFontForType();
    d->reportSelection = false;
    d->styled->setText(converted); // clears the undo history
    d->reportSelection = true;
    d->reportedSelection = selectedRange();
    markSearchTarget(d->searchTarget);
}

QString MarkdownViewController::string() const {
    return d->styled->text();
}

void MarkdownViewController::setEditState(bool editable) {
    d->editState = editable;
    d->textView->setReadOnly(!editable);
}

bool MarkdownViewController::editState() const {
    return d->editState;
}

void MarkdownViewController::setFileUTI(const QString& typeIdentifier) {
    d->fileUTI = typeIdentifier;
    d->applyFontForType();
}

QString MarkdownViewController::fileUTI() const {
    return d->fileUTI;
}
void MarkdownViewController::replaceString(const QString& text) {
    const Range selection = selectedRange();
    const int scroll = d->textView->verticalScrollBar()->value();
    // The same note, changed by another program: a pending image link still belongs to it.
    popovers_->nextTextIsSameNote();
    setString(text);
    setSelectedRange(selection);
    d->textView->verticalScrollBar()->setValue(scroll);
}

void MarkdownViewController::setSelectedFont(const QFont& font) {
    d->selectedFont = font;
    if (d->selectedFont.pointSizeF() <= 0) d->selectedFont.setPointSizeF(kDefaultFontSize);
    d->applyFontForType();
    if (d->isMarkdown()) d->styled->restyleAll();
    d->spelling->stylingChanged();
}

QFont MarkdownViewController::selectedFont() const {
    return d->selectedFont;
}

void MarkdownViewController::setMarkdownOptions(const MarkdownOptions& options) {
    d->engine.setMarkdownOptions(options);
    if (d->isMarkdown()) d->styled->restyleAll();
    d->spelling->stylingChanged();
}

void MarkdownViewController::setSearchTarget(const QString& target) {
    d->searchTarget = target;
    markSearchTarget(target);
}

QString MarkdownViewController::searchTarget() const {
    return d->searchTarget;
}

void MarkdownViewController::markSearchTarget(const QString& target) {
    d->styled->markSearchTarget(target);
}

void MarkdownViewController::setSelectedRange(Range range) {
    const std::size_t length = d->styled->length();
    if (range.location >= length) range = {length > 0 ? length - 1 : 0, 0};
    range.length = std::min(range.length, length - range.location);
    QTextCursor cursor(d->textView->document());
    cursor.setPosition(static_cast<int>(range.location));
    cursor.setPosition(static_cast<int>(range.end()), QTextCursor::KeepAnchor);
    d->reportSelection = false;
    d->textView->setTextCursor(cursor);
    d->textView->ensureCursorVisible();
    d->reportSelection = true;
    d->reportedSelection = range;
}

Range MarkdownViewController::selectedRange() const {
    const QTextCursor cursor = d->textView->textCursor();
    return Range::fromBounds(static_cast<std::size_t>(cursor.selectionStart()),
                             static_cast<std::size_t>(cursor.selectionEnd()));
}

QRectF MarkdownViewController::rectForRange(Range range) const {
    const std::size_t length = d->styled->length();
    if (length == 0) return QRectF();
    range.location = std::min(range.location, length);
    range.length = std::min(range.length, length - range.location);
    return d->textView->rectForRange(range);
}

void MarkdownViewController::forceLayout() {
    IndentingDocumentLayout& layout = d->textView->indentingLayout();
    for (QTextBlock block = d->textView->document()->begin(); block.isValid(); block = block.next())
        layout.ensureStyledLayout(block);
}

void MarkdownViewController::clearUndoHistory() {
    d->textView->document()->clearUndoRedoStacks();
}
void MarkdownViewController::detachTextStorageDelegate() {
    d->styled->setAttached(false);
}
void MarkdownViewController::attachTextStorageDelegate() {
    d->styled->setAttached(true);
}

void MarkdownViewController::scanFirstLine() {
    d->scanFirstLineCall.cancel();
    const Range firstLine = d->firstLineContents();
    const QString text = d->styled->text();
    const QString name = displayname(QStringView(text).left(static_cast<qsizetype>(firstLine.end())));
    if (!d->host) return;
    const QString current = d->host->displayName();
    // A first line emptied since the scan was scheduled gives no name; the note keeps its own.
    if (!current.isEmpty() && (name.isEmpty() || name == current)) return;
    if (current.isEmpty() && name.isEmpty()) return;
    d->host->firstLineNameDidChange(name);
}

bool MarkdownViewController::usesInputMethodCaretColor() const {
    return d->caretIsBlue;
}

void MarkdownViewController::markdownButton(const QString& command) {
    if (d->textView->isReadOnly()) return;
    if (command == QLatin1String("image"))
        setImageLink();
    else
        performMarkdownCommand(*d->textView, command);
}

void MarkdownViewController::setSpellChecking(bool on) {
    d->spelling->setEnabled(on);
}
bool MarkdownViewController::spellChecking() const {
    return d->spelling->isEnabled();
}
SpellMarks& MarkdownViewController::spellMarks() {
    return *d->spelling;
}

void MarkdownViewController::arithmeticOperation() {
    insertArithmeticResult(*d->textView, d->styled->store());
}

void MarkdownViewController::setImageLink() {
    popovers_->setImageLink();
}

bool MarkdownViewController::textViewClickedOnLink(const QString& link, std::size_t index) {
    return popovers_->clickedOnLink(link, index);
}

void MarkdownViewController::showImagePopover(const QUrl& url, const QRectF& rect, bool securityScope) {
    popovers_->showImagePopover(url, rect, securityScope);
}

void MarkdownViewController::Private::applyFontForType() {
    const bool markdown = isMarkdown();
    styled->setMarkdownStyling(markdown);
    spelling->setReadsText(fileUTI != QLatin1String(platform::kCssTypeIdentifier) &&
                           fileUTI != QLatin1String(platform::kPythonScriptTypeIdentifier));
    styled->setCodeLanguage(codeLanguageForType(fileUTI.toStdString()));
    if (markdown) {
        textView->setFont(selectedFont);
        engine.setMarkdownFont(fonts.handle(selectedFont), fonts);
    } else {
        textView->setFont(QtFontProvider::fixedPitchQFont(selectedFont.pointSizeF() - 2.0));
    }
}

void MarkdownViewController::Private::textEdited(std::size_t location, Range restyledBeyond) {
    const bool edited = textView->document()->isUndoAvailable();
    if (edited && host) host->textDidChange();
    if (!restyledBeyond.empty()) {
        pendingLayout = pendingLayout
                            ? Range::fromBounds(std::min(pendingLayout->location, restyledBeyond.location),
                                                std::max(pendingLayout->end(), restyledBeyond.end()))
                            : restyledBeyond;
        forceLayoutCall.schedule(kForceLayoutDelay, [this] { completePendingLayout(); });
    }
    // A note without a name takes one from its first line even when it was only loaded.
    if (!isMarkdown() || (!edited && (!host || !host->displayName().isEmpty()))) return;
    const Range firstLine = firstLineContents();
    if (location <= firstLine.end() && !firstLine.empty())
        scanFirstLineCall.schedule(kScanFirstLineDelay, [this] { owner.scanFirstLine(); });
}

// Lays out the lines an edit's restyling reached beyond the edited lines, so the scroll range
// is exact again once typing pauses. The layout of a large note's every line takes seconds:
// a long reach (a fence opened above many lines) is laid out as far as a bounded number of
// blocks, the rest when it is shown.
void MarkdownViewController::Private::completePendingLayout() {
    if (!pendingLayout) return;
    QTextDocument* document = textView->document();
    const QTextBlock end = document->findBlock(static_cast<int>(pendingLayout->end())).next();
    int budget = kDeferredLayoutBlocks;
    for (QTextBlock block = document->findBlock(static_cast<int>(pendingLayout->location));
         block.isValid() && block != end && budget-- > 0; block = block.next())
        textView->indentingLayout().ensureStyledLayout(block);
    pendingLayout.reset();
}

Range MarkdownViewController::Private::firstLineContents() const {
    const Range line = styled->store().lineRange(0);
    std::size_t end = line.end();
    while (end > line.location && isLineTerminator(styled->store().characterAt(end - 1)))
        --end;
    return Range::fromBounds(line.location, end);
}

void MarkdownViewController::Private::selectionChanged() {
    if (!reportSelection) return;
    const Range range = owner.selectedRange();
    if (range == reportedSelection) return;
    reportedSelection = range;
    if (host) host->textViewDidChangeSelection(range);
}

void MarkdownViewController::Private::updateCaretColor() {
    caretIsBlue = caretUsesSystemBlue(QGuiApplication::inputMethod()->locale());
    textView->setCaretColor(caretIsBlue ? systemBlue() : textView->palette().color(QPalette::Text));
}

} // namespace quillet
