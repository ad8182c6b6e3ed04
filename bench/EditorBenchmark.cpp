// The editor widget's speed on a large note: opening it (styled, laid out and shown) and one
// keystroke at many random places (styling plus layout plus painting the visible area), for
// the Quillet editor and, beside it, QPlainTextEdit and QTextEdit holding the same text
// unstyled (their layout cost alone, a lower bound for styling through either).
//
//   cmake --build build --target quillet-editor-bench
//   build/bin/quillet-editor-bench [SEED] [KEYSTROKES] [quillet|plain|textedit]
//
// The last argument runs one editor only (for profiling); all three run by default.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise. The note is the benchmark corpus's
// deterministic 1 MB of Markdown. A keystroke moves the caret to a random place (not timed:
// the view scrolls there and paints), then inserts one character through a QTextCursor (the
// styling runs, the document lays out the changed lines) and lays out every visible line:
// "styling + layout". "+ painting" adds a synchronous repaint of the whole viewport. Goals:
// styling + layout median under 2 ms and 99th percentile under 16 ms; opening under 1 s.

#include "bench/CorpusGenerator.h"
#include "bench/Statistics.h"
#include "editor/MarkdownViewController.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace quillet;
using namespace quillet::bench;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kNoteBytes = 1000000;
constexpr int kDefaultKeystrokes = 1000;
constexpr int kWidth = 900;
constexpr int kHeight = 700;

// One editor under test: how to open the text, and the view the keystrokes go to.
struct Subject {
    const char* name;
    QWidget* window;
    std::function<void(const QString&)> open;
    std::function<QAbstractScrollArea*()> view;
    std::function<QTextDocument*()> document;
    std::function<void(const QTextCursor&)> placeCaret;
};

// Lays out the lines the view shows, as painting it would.
void layOutVisibleLines(QAbstractScrollArea& view, QTextDocument& document) {
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const int height = view.viewport()->height();
    auto* plain = qobject_cast<QPlainTextEdit*>(&view);
    auto* rich = qobject_cast<QTextEdit*>(&view);
    const QTextCursor top =
        plain ? plain->cursorForPosition(QPoint(0, 0)) : rich->cursorForPosition(QPoint(0, 0));
    double y = 0;
    for (QTextBlock block = top.block(); block.isValid() && y < height; block = block.next())
        y += layout->blockBoundingRect(block).height();
}

void settle(QAbstractScrollArea& view) {
    view.viewport()->repaint();
    QCoreApplication::processEvents();
}

void measure(const Subject& subject, const QString& note, unsigned seed, int keystrokes) {
    subject.window->resize(kWidth, kHeight);
    subject.window->show();
    QCoreApplication::processEvents();

    const Clock::time_point openStart = Clock::now();
    subject.open(note);
    settle(*subject.view());
    const double openMs = millisecondsSince(openStart);

    std::mt19937 random(seed);
    std::vector<double> laidOut, painted;
    for (int i = 0; i < keystrokes; ++i) {
        QTextDocument* document = subject.document();
        QTextCursor cursor(document);
        cursor.setPosition(static_cast<int>(random() % static_cast<unsigned>(document->characterCount())));
        subject.placeCaret(cursor);
        settle(*subject.view());
        const Clock::time_point start = Clock::now();
        cursor.insertText(QStringLiteral("x"));
        layOutVisibleLines(*subject.view(), *document);
        laidOut.push_back(millisecondsSince(start));
        subject.view()->viewport()->repaint();
        painted.push_back(millisecondsSince(start));
    }
    std::printf(
        "%-28s open %7.1f ms; keystroke: styling + layout median %5.2f ms, 99th %6.2f ms, max %7.2f ms;"
        " + painting median %5.2f ms, 99th %6.2f ms\n",
        subject.name, openMs, percentile(laidOut, 0.5), percentile(laidOut, 0.99),
        *std::max_element(laidOut.begin(), laidOut.end()), percentile(painted, 0.5),
        percentile(painted, 0.99));
    subject.window->hide();
}

void measureWholeTextWork(MarkdownViewController& editor, const QString& note) {
    editor.resize(kWidth, kHeight);
    editor.show();
    editor.setString(note);
    QCoreApplication::processEvents();
    Clock::time_point start = Clock::now();
    editor.forceLayout();
    const double layoutMs = millisecondsSince(start);
    QFont font = editor.selectedFont();
    font.setPointSizeF(font.pointSizeF() + 1);
    start = Clock::now();
    editor.setSelectedFont(font);
    settle(*editor.textView());
    const double fontMs = millisecondsSince(start);
    start = Clock::now();
    editor.setSearchTarget(QStringLiteral("the"));
    settle(*editor.textView());
    const double markMs = millisecondsSince(start);
    std::printf(
        "Quillet editor, whole text:        layout of every line %6.1f ms, new font (restyle) %6.1f ms, "
        "marking a search target %6.1f ms\n",
        layoutMs, fontMs, markMs);
    editor.hide();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const unsigned seed = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 20240601u;
    const int keystrokes = argc > 2 ? std::atoi(argv[2]) : kDefaultKeystrokes;
    const std::string only = argc > 3 ? argv[3] : "";
    const auto runs = [&](const char* name) { return only.empty() || only == name; };

    const std::string corpus = bench::CorpusGenerator().notes(kNoteBytes);
    const QString note = QString::fromUtf8(corpus.data(), static_cast<qsizetype>(corpus.size()));
    std::printf("note: %lld UTF-16 units, %lld lines; %d keystrokes, seed %u; view %dx%d\n",
                static_cast<long long>(note.size()), static_cast<long long>(note.count(u'\n')), keystrokes,
                seed, kWidth, kHeight);

    if (runs("quillet")) {
        MarkdownViewController editor;
        QPlainTextEdit* view = editor.textView();
        measure({"Quillet editor (styled)", &editor, [&](const QString& text) { editor.setString(text); },
                 [&] { return static_cast<QAbstractScrollArea*>(view); }, [&] { return view->document(); },
                 [&](const QTextCursor& cursor) {
                     view->setTextCursor(cursor);
                     view->ensureCursorVisible();
                 }},
                note, seed, keystrokes);
    }
    if (runs("quillet")) {
        MarkdownViewController editor;
        measureWholeTextWork(editor, note);
    }
    if (runs("plain")) {
        QPlainTextEdit view;
        measure({"QPlainTextEdit (unstyled)", &view, [&](const QString& text) { view.setPlainText(text); },
                 [&] { return static_cast<QAbstractScrollArea*>(&view); }, [&] { return view.document(); },
                 [&](const QTextCursor& cursor) {
                     view.setTextCursor(cursor);
                     view.ensureCursorVisible();
                 }},
                note, seed, keystrokes);
    }
    if (runs("textedit")) {
        QTextEdit view;
        measure({"QTextEdit (unstyled)", &view, [&](const QString& text) { view.setPlainText(text); },
                 [&] { return static_cast<QAbstractScrollArea*>(&view); }, [&] { return view.document(); },
                 [&](const QTextCursor& cursor) {
                     view.setTextCursor(cursor);
                     view.ensureCursorVisible();
                 }},
                note, seed, keystrokes);
    }
    return 0;
}
