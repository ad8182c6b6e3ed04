#include "bench/CorpusGenerator.h"

#include <ostream>
#include <sstream>

namespace quillet::bench {

namespace {

// Prose words, a few of them outside ASCII (two-, three- and four-byte UTF-8) so that the
// converters decode real text.
constexpr const char* kWords[] = {
    "the",    "note",   "keeps",  "a",      "list",     "of",       "things",  "to",     "do",
    "before", "Monday", "and",    "some",   "links",    "between",  "them",    "while",  "writing",
    "plain",  "text",   "is",     "quick",  "Markdown", "with",     "headers", "quotes", "code",
    "café",   "naïve",  "Straße", "日本語", "メモ",     "Ελληνικά", "emoji😀",  "über",   "résumé",
};

constexpr const char* kLanguages[] = {"", "cpp", "python", "sh", "json", "swift"};
constexpr const char* kUrls[] = {
    "http://example.com/",       "https://example.org/docs/page.html", "notes/other.md",
    "../shared/plan.md#summary", "mailto:someone@example.net",         "https://example.com/a?b=c&d=e",
};
constexpr const char* kImages[] = {"images/figure.png", "pictures:/holiday.jpg", "file:///tmp/chart.svg",
                                   "https://example.com/logo.png"};
constexpr const char* kTags[] = {"div", "section", "aside", "table", "details"};

} // namespace

std::uint64_t CorpusGenerator::next() {
    // SplitMix64: fixed arithmetic, identical on every platform.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string CorpusGenerator::word() {
    return pick(kWords);
}

std::string CorpusGenerator::words(std::size_t count) {
    std::string text = word();
    for (std::size_t i = 1; i < count; ++i)
        text += ' ' + word();
    return text;
}

std::string CorpusGenerator::label() {
    // Uses refer mostly to defined labels, sometimes to one defined later or never.
    return "ref" + std::to_string(below(static_cast<std::size_t>(labelsDefined_ + 8)));
}

std::string CorpusGenerator::inlineElement() {
    switch (below(17)) {
    case 0:
        return "*" + words(1 + below(3)) + "*";
    case 1:
        return "_" + word() + "_";
    case 2:
        return "**" + words(1 + below(3)) + "**";
    case 3:
        return "__" + word() + "__";
    case 4:
        return "~~" + words(1 + below(2)) + "~~";
    case 5:
        return "~" + word() + "~";
    case 6:
        return "^" + word() + "^";
    case 7:
        return "`" + word() + " <b> & *x*`";
    case 8:
        return "[" + words(1 + below(3)) + "](" + pick(kUrls) + (chance(40) ? " \"A title\")" : ")");
    case 9:
        return "[" + words(1 + below(2)) + "][" + label() + "]";
    case 10:
        return "[" + label() + "][]";
    case 11:
        return "![" + words(1 + below(2)) + "](" + pick(kImages) + (chance(30) ? " \"Figure\")" : ")");
    case 12:
        return "![" + word() + "][" + label() + "]";
    case 13:
        return "\\<" + std::string(pick(kTags)) + ">";
    case 14:
        return "\\*" + word() + "\\*";
    case 15:
        return "**" + word() + " *" + word() + "* " + word() + "**";
    default:
        return "[*" + word() + "* " + word() + "](" + pick(kUrls) + ")";
    }
}

std::string CorpusGenerator::inlineText(std::size_t approximateBytes) {
    std::string text = word();
    while (text.size() < approximateBytes) {
        text += ' ';
        text += chance(18) ? inlineElement() : word();
    }
    return text;
}

void CorpusGenerator::header(Lines& out) {
    const std::size_t level = 1 + below(chance(5) ? 7 : 6);
    std::string line(level, '#');
    line += ' ' + (chance(30) ? inlineText(30) : words(2 + below(5)));
    if (chance(15)) line += ' ' + std::string(level, '#');
    out.push_back(line);
}

void CorpusGenerator::paragraph(Lines& out) {
    for (std::size_t n = 1 + below(4); n > 0; --n)
        out.push_back(inlineText(40 + below(120)));
}

void CorpusGenerator::bulletList(Lines& out) {
    constexpr const char* kMarkers[] = {"-", "*", "+"};
    std::size_t depth = 0;
    for (std::size_t n = 2 + below(7); n > 0; --n) {
        std::string line(depth, '\t');
        line += std::string(pick(kMarkers)) + ' ';
        switch (below(10)) {
        case 0:
            line += "> " + inlineText(30);
            break; // a quote inside the item
        case 1:
            line += "## " + words(3);
            break; // a header inside the item
        case 2:
            line += "1. " + inlineText(30);
            break; // a numbered item inside the item
        default:
            line += inlineText(20 + below(60));
        }
        out.push_back(line);
        if (chance(35) && depth < 3)
            ++depth;
        else if (chance(30) && depth > 0)
            --depth;
    }
}

void CorpusGenerator::decimalList(Lines& out) {
    std::size_t number = chance(25) ? 3 + below(20) : 1;
    for (std::size_t n = 2 + below(6); n > 0; --n, ++number) {
        std::string line;
        if (chance(20))
            line = "\t1." + std::to_string(number) + ". "; // nested numbering
        else
            line = std::to_string(number) + ". ";
        out.push_back(line + inlineText(20 + below(60)));
    }
}

void CorpusGenerator::quote(Lines& out) {
    for (std::size_t n = 1 + below(5); n > 0; --n) {
        std::string line(1 + below(chance(30) ? 3 : 1), '>');
        line += ' ';
        if (chance(15))
            line += "- " + inlineText(30);
        else if (chance(10))
            line += "# " + words(3);
        else
            line += inlineText(30 + below(80));
        out.push_back(line);
    }
}

void CorpusGenerator::fencedCode(Lines& out) {
    const std::string fence = chance(75) ? "```" : "~~~";
    out.push_back(fence + pick(kLanguages));
    for (std::size_t n = 1 + below(10); n > 0; --n) {
        if (chance(10))
            out.push_back("");
        else
            out.push_back(std::string(below(3) * 4, ' ') + "if (a < b && c > d) { *p = \"x\"; } // " +
                          word());
    }
    out.push_back(fence);
}

void CorpusGenerator::indentedCode(Lines& out) {
    for (std::size_t n = 1 + below(6); n > 0; --n)
        out.push_back((chance(70) ? "    " : "\t") + std::string("value = f(x) < 3 & y; // ") + words(2));
}

void CorpusGenerator::htmlBlock(Lines& out) {
    const std::string tag = pick(kTags);
    if (chance(40)) {
        out.push_back("<" + tag + ">" + words(3) + "</" + tag + ">");
        return;
    }
    out.push_back("<" + tag + ">");
    for (std::size_t n = 1 + below(4); n > 0; --n)
        out.push_back("  <span class=\"x\">" + words(4) + "</span>");
    out.push_back("</" + tag + ">");
}

void CorpusGenerator::linkDefinitions(Lines& out) {
    for (std::size_t n = 1 + below(3); n > 0; --n) {
        std::string line = "[ref" + std::to_string(labelsDefined_++) + "]: " + pick(kUrls);
        if (chance(50)) line += chance(50) ? " \"Title text\"" : " (Title text)";
        out.push_back(line);
    }
}

void CorpusGenerator::rule(Lines& out) {
    constexpr const char* kRules[] = {"---", "***", "_ _ _", "- - -", "* * * *"};
    out.push_back(pick(kRules));
}

void CorpusGenerator::block(Lines& out) {
    const std::size_t roll = below(100);
    if (roll < 12)
        header(out);
    else if (roll < 42)
        paragraph(out);
    else if (roll < 54)
        bulletList(out);
    else if (roll < 61)
        decimalList(out);
    else if (roll < 69)
        quote(out);
    else if (roll < 76)
        fencedCode(out);
    else if (roll < 81)
        indentedCode(out);
    else if (roll < 87)
        htmlBlock(out);
    else if (roll < 93)
        linkDefinitions(out);
    else
        rule(out);
    out.push_back("");
    if (chance(10)) out.push_back("");
}

void CorpusGenerator::writeNotes(std::ostream& out, std::size_t minimumBytes) {
    Lines lines;
    for (std::size_t written = 0; written < minimumBytes;) {
        lines.clear();
        block(lines);
        for (const auto& line : lines) {
            out << line << '\n';
            written += line.size() + 1;
        }
    }
}

std::string CorpusGenerator::notes(std::size_t minimumBytes) {
    std::ostringstream text;
    writeNotes(text, minimumBytes);
    return std::move(text).str();
}

std::string CorpusGenerator::singleLine(std::size_t bytes) {
    std::string line = inlineText(bytes);
    // Cut on a character boundary, then pad with blanks to the exact length.
    std::size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
        --cut;
    line.resize(cut);
    line.append(bytes - cut, ' ');
    return line + '\n';
}

} // namespace quillet::bench
