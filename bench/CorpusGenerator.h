#pragma once
// Deterministic Markdown for the throughput benchmark: notes that mix every construct of the
// dialect (headers, paragraphs with every inline element, nested bullet and decimal lists,
// quotes, fenced and indented code, HTML blocks, link definitions and label links, images,
// rules, blank lines), and the pathological single-line notes. The same seed always gives the
// same bytes, on every platform, so figures from different runs compare.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace quillet::bench {

class CorpusGenerator {
public:
    explicit CorpusGenerator(std::uint64_t seed = 20240601) : state_(seed) {}

    // Whole blocks appended until the text holds at least `minimumBytes`; ends with a line break.
    std::string notes(std::size_t minimumBytes);
    // The same text written block by block, so that a large corpus is never held in memory.
    void writeNotes(std::ostream& out, std::size_t minimumBytes);
    // One line of prose rich in inline elements, exactly `bytes` long without its final "\n".
    std::string singleLine(std::size_t bytes);

private:
    using Lines = std::vector<std::string>;

    std::uint64_t next();
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }
    bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }
    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) { return items[below(N)]; }

    std::string word();
    std::string words(std::size_t count);
    std::string inlineElement();
    std::string inlineText(std::size_t approximateBytes);
    std::string label();

    void header(Lines& out);
    void paragraph(Lines& out);
    void bulletList(Lines& out);
    void decimalList(Lines& out);
    void quote(Lines& out);
    void fencedCode(Lines& out);
    void indentedCode(Lines& out);
    void htmlBlock(Lines& out);
    void linkDefinitions(Lines& out);
    void rule(Lines& out);
    void block(Lines& out);

    std::uint64_t state_;
    int labelsDefined_ = 0;
};

} // namespace quillet::bench
