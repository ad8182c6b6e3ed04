// Continuous spell checking in the editor: which words are marked in a Markdown note, that the
// marks never touch the document, how they follow edits, and the context menu's entries.

#include "editor/SpellMarks.h"

#include "../support/IsolatedSpelling.h"
#include "EditorTestSupport.h"
#include "platform/SpellChecker.h"
#include "platform/TypeIdentifiers.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTest>

namespace quillet::test {
namespace {

const QString kEnchantFolder = quillet::testing::isolateEnchantConfiguration();

class SpellMarksTest : public EditorFixture {
protected:
    void SetUp() override {
        platform::SpellChecker::shared().setLanguage(QStringLiteral("en_US"));
        if (platform::SpellChecker::shared().language() != QStringLiteral("en_US"))
            GTEST_SKIP() << "no en_US dictionary installed";
    }
    SpellMarks& spelling() { return editor.spellMarks(); }
    QStringList markedWords() {
        spelling().checkShownLines();
        QStringList words;
        const QString text = editor.string();
        for (const Range& mark : spelling().marks())
            words.append(text.mid(qsizetype(mark.location), qsizetype(mark.length)));
        return words;
    }
    int positionOf(const QString& word) { return int(editor.string().indexOf(word)); }
    // Whether the underline's red is drawn below the word.
    bool underlined(const QString& word) {
        const QImage shown = view().viewport()->grab().toImage();
        const int at = positionOf(word);
        const QRect below = editor.rectForRange({std::size_t(at), std::size_t(word.size())}).toAlignedRect();
        for (int y = below.center().y(); y <= below.bottom() + 4 && y < shown.height(); ++y)
            for (int x = below.left(); x <= below.right(); ++x)
                if (QColor c = shown.pixelColor(x, y); c.red() > 150 && c.green() < 110 && c.blue() < 110)
                    return true;
        return false;
    }
};

const QString kNote = QStringLiteral("# Teh title\n"
                                     "Some **bold** and *speling* with `cdoe` here.\n"
                                     "See https://exampel.org and [a lnik](http://example.com/wrogn).\n"
                                     "```\n"
                                     "int mian() {}\n"
                                     "```\n"
                                     "- an itme\n");

TEST_F(SpellMarksTest, ProseIsMarkedAndMarkupCodeAndAddressesAreNot) {
    editor.setString(kNote);
    EXPECT_EQ(markedWords(), (QStringList{"Teh", "speling", "lnik", "itme"}));
    EXPECT_TRUE(underlined("speling"));
    EXPECT_FALSE(underlined("cdoe"));

    // Marks are drawn beside the text: no edit, no undo step, no styling changed.
    const TextAttributes styled = attributesAt(std::size_t(positionOf("speling")));
    EXPECT_FALSE(document().isModified());
    EXPECT_FALSE(document().isUndoAvailable());
    EXPECT_EQ(host.edits, 0);
    EXPECT_TRUE(attributesAt(std::size_t(positionOf("speling"))) == styled);

    editor.setSpellChecking(false);
    EXPECT_TRUE(spelling().marks().empty());
    EXPECT_FALSE(underlined("speling"));
    editor.setSpellChecking(true);
    editor.setFileUTI(QString::fromLatin1(platform::kCssTypeIdentifier));
    editor.setString(QStringLiteral("/* Teh speling */\n"));
    EXPECT_TRUE(markedWords().isEmpty());
}

TEST_F(SpellMarksTest, MarksFollowEditsUntilTheLineIsReadAgain) {
    editor.setString(QStringLiteral("one speling here\nnext line\n"));
    ASSERT_EQ(markedWords(), QStringList{"speling"});
    moveCursorTo(0);
    QTest::keyClicks(&view(), "the ");
    EXPECT_EQ(spelling().misspelledWordAt(positionOf("speling")), (Range{8, 7})); // moved, not read yet
    moveCursorTo(positionOf("speling") + 7);
    QTest::keyClicks(&view(), "s"); // the word typed in loses its mark at once
    EXPECT_TRUE(spelling().marks().empty());
    EXPECT_EQ(markedWords(), QStringList{"spelings"});

    // A fence opened above turns the lines below into code: they are read again.
    moveCursorTo(0);
    QTest::keyClicks(&view(), "```");
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_TRUE(markedWords().isEmpty());
}

TEST_F(SpellMarksTest, TheContextMenuOffersSuggestionsAddAndIgnore) {
    editor.setString(QStringLiteral("A speling and a zorbleflax and quilletish.\n"));
    ASSERT_EQ(markedWords(), (QStringList{"speling", "zorbleflax", "quilletish"}));
    QMenu menu;
    QAction* copy = menu.addAction(QStringLiteral("Copy"));
    spelling().addSpellingItems(menu, positionOf("and")); // a correct word: nothing added
    EXPECT_EQ(menu.actions().size(), 1);

    spelling().addSpellingItems(menu, positionOf("speling") + 3);
    QStringList titles;
    for (QAction* action : menu.actions())
        titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    ASSERT_GE(titles.size(), 6);
    EXPECT_LE(titles.indexOf("-"), 5); // at most five suggestions
    EXPECT_TRUE(titles.contains("spelling")) << titles.join(',').toStdString();
    EXPECT_EQ(titles.mid(titles.indexOf("-")),
              (QStringList{"-", "Add to Dictionary", "Ignore", "-", "Copy"}));
    EXPECT_EQ(menu.actions().last(), copy);

    // A suggestion replaces the word as one undoable edit.
    menu.actions().at(titles.indexOf("spelling"))->trigger();
    EXPECT_EQ(editor.string(), QStringLiteral("A spelling and a zorbleflax and quilletish.\n"));
    EXPECT_TRUE(document().isModified());
    document().undo();
    EXPECT_EQ(editor.string(), QStringLiteral("A speling and a zorbleflax and quilletish.\n"));

    const auto choose = [&](const QString& word, const QString& title) {
        QMenu wordMenu;
        spelling().addSpellingItems(wordMenu, positionOf(word));
        for (QAction* action : wordMenu.actions())
            if (action->text() == title) action->trigger();
    };
    choose("zorbleflax", "Ignore");
    choose("quilletish", "Add to Dictionary");
    EXPECT_EQ(markedWords(), QStringList{"speling"});
}

} // namespace
} // namespace quillet::test
