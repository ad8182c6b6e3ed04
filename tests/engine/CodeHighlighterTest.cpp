#include "engine/CodeHighlighter.h"

#include "engine/AttributedText.h"

#include <gtest/gtest.h>
#include <random>

using namespace quillet;

namespace {

// One letter per character: its colour's initial ("." uncoloured, "t" text, "g" gray, "o"
// orange, "p" purple, "r" dark red, "b" blue, "c" dark green for comments).
std::string colours(const AttributedText& text) {
    std::string letters;
    for (const auto& run : text.attributeRuns()) {
        char letter = '.';
        if (run.attributes.foregroundColor) {
            const std::string_view name = textColorName(*run.attributes.foregroundColor);
            letter = name == "darkGreen" ? 'c' : name == "darkRed" ? 'r' : name[0];
        }
        letters.append(run.range.length, letter);
    }
    return letters;
}

std::string highlighted(CodeLanguage language, std::u16string_view source) {
    AttributedText text(source);
    CodeHighlighter highlighter;
    highlighter.setLanguage(language);
    highlighter.highlightAll(text);
    return colours(text);
}

struct Editor {
    explicit Editor(CodeLanguage language, std::u16string_view source) : text(source) {
        highlighter.setLanguage(language);
        highlighter.highlightAll(text);
    }
    Range replace(Range range, std::u16string_view replacement) {
        text.replaceCharacters(range, replacement);
        return highlighter.textReplaced(text, range.location, range.length, replacement.size());
    }
    AttributedText text;
    CodeHighlighter highlighter;
};

} // namespace

TEST(CodeHighlighter, StyleSheetLinesAndBlocks) {
    EXPECT_EQ(highlighted(CodeLanguage::css, u"h1, p { color: #333; margin: 0 }\n"),
              "oo..o...ggggg..tttt..............");
    EXPECT_EQ(highlighted(CodeLanguage::css, u"a\n/* one\ntwo\n*/\nb { }\n/* open\n"),
              "..ccccccccccccc.o.............");
    // Strings: a second string right after the first one's closing quote is not found.
    EXPECT_EQ(highlighted(CodeLanguage::css, u"x: \"a\"\"b\" 'c';\n"), "g..rrr....bbb..");
}

TEST(CodeHighlighter, PythonLinesAndDocstrings) {
    EXPECT_EQ(highlighted(CodeLanguage::python, u"x = 'a' # note\n"), "....bbbgggggggg");
    EXPECT_EQ(highlighted(CodeLanguage::python, u"    # note\n"), "ggggggggggg");
    EXPECT_EQ(highlighted(CodeLanguage::python, u"try: print(True)\nfinally: pass [x]\n"),
              "ppp..ooooo.oooo...........pppp.....");
    EXPECT_EQ(highlighted(CodeLanguage::python, u"def f():\n    '''doc\n    more'''\n"),
              "ppp..........cccccccccccccccccc.");
    EXPECT_EQ(highlighted(CodeLanguage::none, u"def f(): 'x'\n"), ".............");
}

TEST(CodeHighlighter, EditsRestyleTheirLinesAndTheBlocksTheyChange) {
    const std::u16string source = u"p { }\n/* a\nb\nc */\nh1 { }\nem { }\n";
    Editor editor(CodeLanguage::css, source);
    // Typing inside the block restyles only its line.
    EXPECT_EQ(editor.replace({13, 0}, u"x"), (Range{13, 6}));
    EXPECT_EQ(colours(editor.text), "o.....cccccccccccc.oo.....oo.....");
    // Deleting the closing marker (nothing added) leaves the block unclosed: it loses its
    // colour from its opening line on, and the walk goes on to the end for a closing marker.
    const Range unclosed = editor.replace({16, 2}, u"");
    EXPECT_EQ(unclosed, (Range{6, 25}));
    EXPECT_EQ(colours(editor.text), "o................oo.....oo.....");
    EXPECT_TRUE(editor.highlighter.commentBlocks().unclosedStart());
    // Typing it back closes it again.
    editor.replace({16, 0}, u"*/");
    EXPECT_EQ(colours(editor.text), "o.....cccccccccccc.oo.....oo.....");
}

TEST(CodeHighlighter, RandomEditsColourAsAFreshHighlight) {
    const std::u16string pieces[] = {u"/*",     u"*/",    u"'''",  u"\n",  u"h1 {",
                                     u" a: 1;", u"\"s\"", u"def ", u"# c", u"x"};
    for (CodeLanguage language : {CodeLanguage::css, CodeLanguage::python}) {
        std::mt19937 random(7);
        Editor editor(language, u"p { x: 1; }\n/* a\n'''\nb */\n'''\nq\n");
        for (int step = 0; step < 400; ++step) {
            const std::size_t length = editor.text.length();
            const std::size_t at = random() % (length + 1);
            const std::size_t removed = std::min<std::size_t>(random() % 4, length - at);
            editor.replace({at, removed}, random() % 3 == 0 ? u"" : pieces[random() % std::size(pieces)]);
            ASSERT_EQ(colours(editor.text), highlighted(language, editor.text.string())) << "step " << step;
        }
    }
}
