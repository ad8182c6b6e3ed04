#pragma once
// What every input must satisfy, checked by the fuzz targets and replayed by the regression
// tests. Each function runs one engine entry point on a text and returns a description of the
// first property that does not hold, or an empty string. Crashes, leaks, sanitizer reports and
// hangs are caught by the fuzzing runtime; these checks add what a crash would not show.

#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::fuzz {

namespace detail {

inline std::string describe(Range r) {
    return r.found() ? r.toString() : std::string("{not found}");
}

// Walks one line's records and notes the first range that leaves the text it describes.
class RecordChecker {
public:
    RecordChecker(Range examined, std::size_t textLength) : examined_(examined), wholeText_{0, textLength} {}

    std::string problem;

    void rangeDict(const RangeDict& line) {
        if (line.lineRange != examined_)
            fail("lineRange " + describe(line.lineRange) + " is not the range given");
        if (line.strRange && !spansWholeText(line.type, *line.strRange))
            within(*line.strRange, examined_, "line strRange");
        if (line.range) within(*line.range, examined_, "line range");
        if (line.urlRange) within(*line.urlRange, examined_, "line urlRange");
        long depth = 0;
        for (const auto& marker : line.blockArray) {
            block(marker);
            depth += marker.depth;
        }
        if (!line.blockArray.empty() && line.depth != depth)
            fail("depth " + std::to_string(line.depth.value_or(-1)) +
                 " is not the sum of the markers' depths " + std::to_string(depth));
        if (line.type == BlockType::blankline && (!line.spanArray.empty() || !line.blockArray.empty()))
            fail("a blank line carries elements");
        spans(line.spanArray, examined_);
    }

private:
    void fail(const std::string& what) {
        if (problem.empty()) problem = what + " (examined range " + describe(examined_) + ")";
    }

    void within(Range inner, Range outer, const char* what) {
        if (!inner.found() || !outer.contains(inner))
            fail(std::string(what) + " " + describe(inner) + " lies outside " + describe(outer));
    }

    // Rules and code lines are judged on the whole text, and their ranges cover all of it even
    // when a smaller range was examined.
    bool spansWholeText(BlockType type, Range range) const {
        return (type == BlockType::hr || type == BlockType::codeblock) && range == wholeText_;
    }

    void block(const BlockDict& marker) {
        if (marker.type == BlockType::none) fail("a marker without a type");
        if (!spansWholeText(marker.type, marker.strRange))
            within(marker.strRange, examined_, "marker strRange");
        if (!spansWholeText(marker.type, marker.range)) within(marker.range, examined_, "marker range");
        if (marker.type == BlockType::linklabel) within(marker.urlRange, examined_, "marker urlRange");
        if (marker.depth < 0 || marker.quoteDepth < 0) fail("a negative marker depth");
        if (marker.quoteDepth > 0 && marker.type != BlockType::quote)
            fail("quoteDepth on a marker that is no quote");
    }

    // '[t][]' takes its closing bracket from the text after "][" even when the range examined
    // ends before it, so such a link may reach one code unit past its container.
    static bool selfLabelledLink(const SpanDict& span) {
        return (span.type == SpanType::link || span.type == SpanType::image) &&
               span.linkType == LinkType::local && span.urlRange == span.strRange;
    }

    void spans(const std::vector<SpanDict>& list, Range container) {
        std::size_t previousEnd = container.location;
        for (const auto& span : list) {
            if (span.type == SpanType::header) {
                within(span.strRange, container, "nested header strRange");
                spans(span.spanArray, span.strRange);
                continue;
            }
            if (span.type == SpanType::none) fail("an element without a type in a result");
            if (span.typeId != spanTypeId(span.type)) fail("typeId does not match the type");
            if (!span.range) {
                fail("an element without a range in a result");
                continue;
            }
            const Range whole = *span.range;
            within(whole,
                   selfLabelledLink(span) ? Range{container.location, container.length + 1} : container,
                   "element range");
            if (whole.location < previousEnd)
                fail("element at " + describe(whole) + " overlaps the one before");
            previousEnd = whole.end();
            const bool backslashWithoutTag = span.type == SpanType::backslash && !span.strRange.found();
            if (!backslashWithoutTag) within(span.strRange, whole, "element strRange");
            if (span.type == SpanType::link || span.type == SpanType::image) {
                if (span.refRange != span.strRange) fail("refRange differs from strRange");
                within(span.urlRange, whole, "link urlRange");
                if (span.optionRange && span.optionRange->found())
                    within(*span.optionRange, examined_, "link optionRange");
            }
            spans(span.spanArray, span.strRange);
        }
    }

    Range examined_;
    Range wholeText_;
};

} // namespace detail

// Classifies `line` over `range` and checks the record: every range inside the range examined,
// elements in order without overlap, children inside their parent's content, the line's depth
// the sum of its markers' depths.
inline std::string checkRangeDictForLine(MarkdownString& engine, std::u16string_view line, Range range) {
    detail::RecordChecker checker(range, line.size());
    checker.rangeDict(engine.rangeDictForLine(line, range));
    return checker.problem;
}

// Classifies each line of `text` (split at line feeds, the feed dropped) and then one sub-range
// of the whole text chosen by `choice`, checking every record.
inline std::string checkLineRecords(std::u16string_view text, std::uint64_t choice) {
    MarkdownString engine;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t stop = text.find(u'\n', start);
        if (stop == std::u16string_view::npos) stop = text.size();
        const std::u16string_view line = text.substr(start, stop - start);
        if (auto problem = checkRangeDictForLine(engine, line, {0, line.size()}); !problem.empty())
            return "line at " + std::to_string(start) + ": " + problem;
        start = stop + 1;
    }
    const std::size_t location = static_cast<std::size_t>(choice % (text.size() + 1));
    const std::size_t length = static_cast<std::size_t>((choice >> 32) % (text.size() - location + 1));
    if (auto problem = checkRangeDictForLine(engine, text, {location, length}); !problem.empty())
        return "sub-range of the whole text: " + problem;
    return {};
}

// Converts a note to a document the way the converter does (labels registered first, no base
// folder) and checks that the document wraps exactly the body's markup.
// The body built as a stream: the children handed over, then those left, are the whole body's.
inline std::string checkStreamedBody(std::u16string_view note, const MarkdownOptions& options,
                                     const RQXMLElement& whole) {
    MarkdownString engine;
    engine.setMarkdownOptions(options);
    engine.createLocalLinkLables(note);
    std::u16string streamed;
    const RQXMLElementRef rest =
        engine.bodyElementFromString(note, std::nullopt, [&streamed](std::span<const RQXMLChild> children) {
            for (const RQXMLChild& child : children)
                child.appendXMLString(streamed);
        });
    for (const RQXMLChild& child : rest->children())
        child.appendXMLString(streamed);
    std::u16string expected;
    for (const RQXMLChild& child : whole.children())
        child.appendXMLString(expected);
    return streamed == expected ? std::string() : "the body built as a stream differs from the whole body";
}

inline std::string checkConversion(std::u16string_view note, const MarkdownOptions& options) {
    MarkdownString engine;
    engine.setMarkdownOptions(options);
    engine.createLocalLinkLables(note);
    const RQXMLElementRef body = engine.bodyElementFromString(note, std::nullopt);
    if (!body) return "no body element";
    const std::u16string bodyMarkup = body->XMLString();
    const std::u16string document = MarkdownString::htmlStringFromBody(body, u"fuzz", u"en", u"");
    const bool bodyShape =
        bodyMarkup == u"<body/>" || (bodyMarkup.starts_with(u"<body>") && bodyMarkup.ends_with(u"</body>"));
    if (!bodyShape) return "the body's markup is not one body element";
    if (!document.starts_with(u"<!DOCTYPE html><html ") || !document.ends_with(u"</html>"))
        return "the document is not one html element after the doctype";
    if (document.find(bodyMarkup) == std::u16string::npos)
        return "the document does not hold the body's markup";
    return checkStreamedBody(note, options, *body);
}

// The option sets the conversion is checked with: the defaults, and every flag flipped.
inline MarkdownOptions flippedOptions() {
    MarkdownOptions options = MarkdownOptions::defaults();
    options.indentNormalLines = !options.indentNormalLines;
    options.resetIndentByBlankline = !options.resetIndentByBlankline;
    options.resetIndentByHeader = !options.resetIndentByHeader;
    options.resetIndentByBlock = !options.resetIndentByBlock;
    options.removeProceeding4SpacesInCodeBlock = !options.removeProceeding4SpacesInCodeBlock;
    return options;
}

// FNV-1a of the input: a sub-range choice that follows the bytes, so a reproducer reproduces.
inline std::uint64_t choiceFromBytes(const std::uint8_t* data, std::size_t size) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 1099511628211ull;
    return hash;
}

} // namespace quillet::fuzz
