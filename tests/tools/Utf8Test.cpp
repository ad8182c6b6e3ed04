#include "tools/Utf8.h"

#include <gtest/gtest.h>
#include <vector>

using namespace quillet::convert;

namespace {

// Where decoding stops, checked against validation alone, which must find the same error.
std::optional<std::size_t> errorOffset(std::string_view bytes) {
    const Utf8Decoding decoded = decodeUtf8(bytes);
    const std::optional<Utf8Error> found = quillet::firstUtf8Error(bytes);
    EXPECT_EQ(found.has_value(), !decoded.ok());
    if (decoded.ok() || !found) return std::nullopt;
    EXPECT_EQ(found->byteOffset, decoded.error->byteOffset);
    EXPECT_EQ(found->reason, decoded.error->reason);
    return decoded.error->byteOffset;
}

} // namespace

TEST(Utf8, DecodesEveryEncodingLength) {
    // "a", e-acute (2 bytes), euro sign (3 bytes), U+1F600 (4 bytes, a surrogate pair in UTF-16)
    const Utf8Decoding decoded = decodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.text, u"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(decoded.text.size(), 5u);
    EXPECT_EQ(decodeUtf8(std::string_view("a\0b", 3)).text, std::u16string(u"a\0b", 3));
    EXPECT_EQ(decodeUtf8("\xF4\x8F\xBF\xBF").text, u"\U0010FFFF");
}

TEST(Utf8, ReportsTheOffsetOfTheFirstBadSequence) {
    EXPECT_EQ(errorOffset("ab\x80"), 2u);                 // stray continuation byte
    EXPECT_EQ(errorOffset("abc\xC3"), 3u);                // truncated at the end
    EXPECT_EQ(errorOffset("\xE2\x82z"), 0u);              // continuation missing in the middle
    EXPECT_EQ(errorOffset("x\xC0\xAF"), 1u);              // overlong '/'
    EXPECT_EQ(errorOffset("xy\xE0\x80\xAF"), 2u);         // overlong three-byte form
    EXPECT_EQ(errorOffset("\xF0\x82\x82\xAC"), 0u);       // overlong four-byte form
    EXPECT_EQ(errorOffset("ok\xED\xA0\x80"), 2u);         // encoded high surrogate
    EXPECT_EQ(errorOffset("\xF4\x90\x80\x80"), 0u);       // beyond U+10FFFF
    EXPECT_EQ(errorOffset("\xC3\xA9\xFF"), 2u);           // a byte that never occurs in UTF-8
    EXPECT_EQ(errorOffset("\xC3\xA9\xC3\xA9\xF8"), 4u);   // offsets count bytes, not characters
    EXPECT_EQ(errorOffset("12345678\xE2\x82"), 8u);       // truncated after a word of ASCII
    EXPECT_EQ(errorOffset("abcdefghijklmnopq\xFF"), 17u); // after a block of sixteen
    EXPECT_EQ(errorOffset("fine \xC3\xA9"), std::nullopt);
    EXPECT_EQ(errorOffset(""), std::nullopt);
}

TEST(Utf8, DescribesAnErrorWithItsOffsetAndReason) {
    const Utf8Decoding decoded = decodeUtf8("abc\xED\xBF\xBF");
    ASSERT_FALSE(decoded.ok());
    EXPECT_EQ(describe(*decoded.error), "invalid UTF-8 at byte 3: encoded surrogate");
    EXPECT_EQ(decoded.text, u"abc");
}

TEST(Utf8, PiecesDecodeAsTheirWholeWhereverTheyAreCut) {
    // Every length of sequence, and every kind of error, cut at every pair of places.
    const std::string texts[] = {
        "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z\xF4\x8F\xBF\xBF", // all valid
        "ab\xE2\x82",                                             // truncated at the end
        "\xE2\x82z\xC3\xA9",                                      // continuation missing
        "\xC3\xA9\xF0\x9F\x98",                                   // four bytes cut short
        "x\xC0\xAFy",                                             // overlong
        "\xC3\xA9ok\xED\xA0\x80",                                 // encoded surrogate
        "\xF4\x90\x80\x80\xC3\xA9",                               // beyond U+10FFFF
        "\xC3\xA9\x80\x80\x80\x80"
        "a",                        // stray continuations
        "\xF0\x9F\x98\x80\xFF\xC3", // a byte never in UTF-8
    };
    for (const std::string& text : texts) {
        const Utf8Decoding whole = decodeUtf8(text);
        for (std::size_t first = 0; first <= text.size(); ++first) {
            for (std::size_t second = first; second <= text.size(); ++second) {
                Utf8PieceDecoder decoder;
                decoder.expect(text.size());
                const std::string_view bytes(text);
                decoder.add(bytes.substr(0, first));
                decoder.add(bytes.substr(first, second - first));
                decoder.add(bytes.substr(second));
                const Utf8Decoding pieces = decoder.finish();
                EXPECT_EQ(pieces.text, whole.text) << first << " " << second;
                ASSERT_EQ(pieces.ok(), whole.ok()) << first << " " << second;
                if (!whole.ok()) {
                    EXPECT_EQ(pieces.error->byteOffset, whole.error->byteOffset) << first << " " << second;
                    EXPECT_EQ(pieces.error->reason, whole.error->reason) << first << " " << second;
                }
            }
        }
    }
}

TEST(Utf8, PieceDecodingStopsAtTheFirstError) {
    Utf8PieceDecoder decoder;
    EXPECT_TRUE(decoder.add("abc\xC3"));
    EXPECT_FALSE(decoder.add("\xA9\xFF"));
    EXPECT_FALSE(decoder.add("more"));
    const Utf8Decoding decoded = decoder.finish();
    ASSERT_FALSE(decoded.ok());
    EXPECT_EQ(decoded.error->byteOffset, 5u);
    EXPECT_EQ(decoded.text, u"abc\u00E9");
}

TEST(Utf8, EncodesSurrogatePairsAsOneSequenceAndLoneSurrogatesAsReplacement) {
    EXPECT_EQ(encodeUtf8(u"a\u00E9\u20AC\U0001F600"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    const std::u16string loneHigh{u'x', char16_t(0xD83D), u'y'};
    EXPECT_EQ(encodeUtf8(loneHigh), "x\xEF\xBF\xBDy");
    const std::u16string loneLowThenHighAtEnd{char16_t(0xDE00), char16_t(0xD83D)};
    EXPECT_EQ(encodeUtf8(loneLowThenHighAtEnd), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, RoundTripsEveryScalarValueBoundary) {
    for (char32_t codePoint :
         {0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        std::string bytes;
        appendUtf8(bytes, codePoint);
        const Utf8Decoding decoded = decodeUtf8(bytes);
        ASSERT_TRUE(decoded.ok()) << std::hex << unsigned(codePoint);
        EXPECT_EQ(encodeUtf8(decoded.text), bytes) << std::hex << unsigned(codePoint);
    }
}

TEST(Utf8, MixesLongAsciiRunsWithOtherCharactersAtEveryOffset) {
    // ASCII runs are taken a word at a time: put the other characters at every position
    // around and inside a word, and errors after long runs.
    for (char32_t other : {0xE9u, 0x20ACu, 0x1F600u, 0x7Fu}) {
        for (std::size_t at = 0; at < 21; ++at) {
            std::string bytes(20, 'a');
            std::u16string text(20, u'a');
            std::string encoded;
            appendUtf8(encoded, other);
            bytes.insert(at, encoded);
            const Utf8Decoding single = decodeUtf8(encoded);
            text.insert(at, single.text);
            const Utf8Decoding decoded = decodeUtf8(bytes);
            ASSERT_TRUE(decoded.ok());
            EXPECT_EQ(decoded.text, text) << at;
            EXPECT_EQ(encodeUtf8(text), bytes) << at;
            EXPECT_EQ(errorOffset(bytes.substr(0, at + encoded.size() - 1) + "bbbbbbbbb"),
                      encoded.size() > 1 ? std::optional<std::size_t>(at) : std::nullopt)
                << at;
        }
    }
    std::u16string lone(19, u'z');
    lone[13] = char16_t(0xDC00);
    EXPECT_EQ(encodeUtf8(lone), std::string(13, 'z') + "\xEF\xBF\xBD" + std::string(5, 'z'));
}

namespace {

std::string writtenInPieces(const std::vector<std::u16string_view>& pieces) {
    std::string out = "head:";
    Utf8Writer writer(out);
    for (std::u16string_view piece : pieces)
        writer += piece;
    writer.finish();
    return out;
}

} // namespace

TEST(Utf8, WriterEncodesPiecesAsTheirJoinedText) {
    const std::u16string high(1, char16_t(0xD83D)), low(1, char16_t(0xDE00));
    // A pair split between pieces is one sequence; a high surrogate left at the end, or followed
    // by anything but a low one, is a replacement character.
    EXPECT_EQ(writtenInPieces({u"a", high, low, u"b"}), "head:a\xF0\x9F\x98\x80"
                                                        "b");
    EXPECT_EQ(writtenInPieces({u"a", high, u"", low}), "head:a\xF0\x9F\x98\x80");
    EXPECT_EQ(writtenInPieces({high, u"x", high}), "head:\xEF\xBF\xBDx\xEF\xBF\xBD");
    EXPECT_EQ(writtenInPieces({high, high + low}), "head:\xEF\xBF\xBD\xF0\x9F\x98\x80");
    EXPECT_EQ(writtenInPieces({low, u"\u00E9"}), "head:\xEF\xBF\xBD\xC3\xA9");
    EXPECT_EQ(writtenInPieces({}), "head:");
}

TEST(Utf8, WriterAgreesWithTheWholeTextEncodingAcrossChunksAndPieceSizes) {
    // Long enough for many chunks, every kind of unit, pairs falling on every split point.
    std::u16string text;
    const std::u16string kinds[] = {u"plain ascii text ",
                                    u"\u00E9",
                                    u"\u20AC",
                                    u"\U0001F600",
                                    std::u16string(1, char16_t(0xDC00)),
                                    u"<p>",
                                    std::u16string(1, char16_t(0xD800))};
    for (std::size_t i = 0; text.size() < 30000; ++i)
        text += kinds[(i * 7 + i / 5) % std::size(kinds)];
    const std::string expected = "head:" + encodeUtf8(text);
    for (std::size_t pieceSize : {1u, 2u, 3u, 7u, 1000u, 1363u, 1364u, 1365u, 5000u, 40000u}) {
        std::string out = "head:";
        Utf8Writer writer(out);
        for (std::size_t at = 0; at < text.size(); at += pieceSize) {
            const std::u16string_view piece = std::u16string_view(text).substr(at, pieceSize);
            if (piece.size() == 1) {
                writer += piece.front();
            } else {
                writer += piece;
            }
        }
        writer.finish();
        EXPECT_EQ(out, expected) << pieceSize;
    }
}
