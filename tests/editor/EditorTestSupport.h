#pragma once
// A MarkdownViewController on a virtual clock, shown offscreen, with a host that records calls.

#include "editor/EditorHost.h"
#include "editor/MarkdownViewController.h"
#include "engine/MarkdownString.h"
#include "engine/TextStore.h"
#include "platform/ManualDispatcher.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>
#include <vector>

namespace quillet::test {

class RecordingHost final : public EditorHost {
public:
    void textDidChange() override { ++edits; }
    void textViewDidChangeSelection(Range range) override { selections.push_back(range); }
    QString displayName() const override { return name; }
    void firstLineNameDidChange(const QString& newName) override {
        if (!name.isEmpty()) ++renames;
        name = newName;
    }

    int edits = 0;
    int renames = 0; // of a note that had a name
    QString name;
    std::vector<Range> selections;
};

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() : editor(dispatcher) {
        editor.setHost(&host);
        editor.resize(600, 400);
        editor.show();
        editor.textView()->setFocus();
    }

    QPlainTextEdit& view() { return *editor.textView(); }
    QTextDocument& document() { return *editor.textView()->document(); }
    QTextBlock block(int number) { return document().findBlockByNumber(number); }
    TextAttributes attributesAt(std::size_t position) { return editor.textStorage().attributesAt(position); }
    void moveCursorTo(int position) {
        QTextCursor cursor = view().textCursor();
        cursor.setPosition(position);
        view().setTextCursor(cursor);
    }
    // The format drawn at `position` of a block, merged from the layout's format ranges.
    QTextCharFormat drawnFormat(const QTextBlock& block, int position) {
        QTextCharFormat merged;
        for (const QTextLayout::FormatRange& range : block.layout()->formats())
            if (position >= range.start && position < range.start + range.length) merged.merge(range.format);
        return merged;
    }
    // Lays the block out as the view does before it draws it.
    QTextLayout& laidOut(const QTextBlock& block) {
        document().documentLayout()->blockBoundingRect(block);
        return *block.layout();
    }

    platform::ManualDispatcher dispatcher;
    RecordingHost host;
    MarkdownViewController editor;
};

inline QString markdownNote() {
    return QStringLiteral("# Shopping *list*\n"
                          "Some **bold** and *em* and `code` and ~~gone~~ text.\n"
                          "\n"
                          "- first item with [a link](http://example.com/a)\n"
                          "    - nested item\n"
                          "1. numbered\n"
                          "> quoted line\n"
                          "> > deeper\n"
                          "\n"
                          "\n"
                          "```\n"
                          "code *not em*\n"
                          "```\n"
                          "    indented code\n"
                          "<div>\n"
                          "html\n"
                          "</div>\n"
                          "[label]: http://example.com/label\n"
                          "Use [text][label] and ***both*** and \\* escaped.\n"
                          "## Second ##\n"
                          "tab\there\n");
}

} // namespace quillet::test
