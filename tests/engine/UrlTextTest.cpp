#include "engine/UrlText.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(UrlTextTest, AcceptsUrlsMadeOfUrlCharacters) {
    for (std::u16string_view url :
         {u"http://example.com/a/b?q=1&r=2#frag", u"pictures:/a.png", u"file:///tmp/a%20b.png", u"a.png",
          u"../img/x.png", u"mailto:someone@example.com", u"http://[::1]:8080/", u"", u"?q", u"#top",
          u"a+b-c.d:rest", u"%41%7e"}) {
        EXPECT_TRUE(isValidUrlString(url)) << std::string(url.begin(), url.end());
    }
}

TEST(UrlTextTest, RejectsTextsNoStrictParserTakes) {
    for (std::u16string_view url :
         {u"a b.png", u"caf\u00e9.png", u"100%", u"%4g", u"%4", u"a\"b", u"a<b>", u"x#y#z", u"a{b}",
          u"path/[x]", u"1abc:x", u":x", u"a_b:x", u"tab\there", u"back\\slash", u"http://a/b c"}) {
        EXPECT_FALSE(isValidUrlString(url)) << std::string(url.begin(), url.end());
    }
}

TEST(UrlTextTest, PercentEncodesEverythingButAsciiLettersAndDigits) {
    EXPECT_EQ(percentEncodeAllButAlphanumerics(u"a b.png"), u"a%20b%2Epng");
    EXPECT_EQ(percentEncodeAllButAlphanumerics(u"Az09"), u"Az09");
    EXPECT_EQ(percentEncodeAllButAlphanumerics(u"\u00e9"), u"%C3%A9");
    EXPECT_EQ(percentEncodeAllButAlphanumerics(u"\u20ac"), u"%E2%82%AC");
    EXPECT_EQ(percentEncodeAllButAlphanumerics(u"\U0001F600"), u"%F0%9F%98%80");
    // An unpaired surrogate cannot be UTF-8: it stands as the replacement character.
    EXPECT_EQ(percentEncodeAllButAlphanumerics(std::u16string(1, char16_t(0xD800)) + u"x"), u"%EF%BF%BDx");
    EXPECT_EQ(percentEncodeAllButAlphanumerics(u""), u"");
}

TEST(UrlTextTest, FindsTheSchemeBeforeTheFirstPathCharacter) {
    EXPECT_EQ(urlScheme(u"pictures:/a.png"), u"pictures");
    EXPECT_EQ(urlScheme(u"iCloudDrive:/a.png"), u"iCloudDrive");
    EXPECT_EQ(urlScheme(u"file:///a"), u"file");
    EXPECT_EQ(urlScheme(u"a/b:c"), std::nullopt);
    EXPECT_EQ(urlScheme(u"a.png"), std::nullopt);
    EXPECT_EQ(urlScheme(u"1x:y"), std::nullopt);
    EXPECT_EQ(urlScheme(u"pictures%3A%2Fa"), std::nullopt);
}

TEST(UrlTextTest, PathSkipsSchemeAndAuthorityAndDecodesEscapes) {
    EXPECT_EQ(urlPath(u"pictures:/a.png"), "/a.png");
    EXPECT_EQ(urlPath(u"file:///tmp/a%20b.png?x#y"), "/tmp/a b.png");
    EXPECT_EQ(urlPath(u"http://host:80/p/q"), "/p/q");
    EXPECT_EQ(urlPath(u"pictures://host"), "");
    EXPECT_EQ(urlPath(u"file:///caf%C3%A9"), "/caf\xc3\xa9");
    EXPECT_EQ(urlPath(u"x:/100%"), "/100%");
}

TEST(UrlTextTest, LastPathComponentIgnoresTrailingSlashes) {
    EXPECT_EQ(lastPathComponent("/a/b.png"), "b.png");
    EXPECT_EQ(lastPathComponent("/a/dir/"), "dir");
    EXPECT_EQ(lastPathComponent("b.png"), "b.png");
    EXPECT_EQ(lastPathComponent("/"), "");
    EXPECT_EQ(lastPathComponent(""), "");
}

TEST(UrlTextTest, FileUrlsEncodeWhatAPathMayNotHold) {
    EXPECT_EQ(fileUrlText("/home/u/Pictures/a b.png"), u"file:///home/u/Pictures/a%20b.png");
    EXPECT_EQ(fileUrlText("/x/caf\xc3\xa9#1"), u"file:///x/caf%C3%A9%231");
    EXPECT_EQ(utf16FromBytes("caf\xc3\xa9"), u"caf\u00e9");
    EXPECT_EQ(utf16FromBytes("a\xff"), u"a\ufffd");
}

} // namespace
} // namespace quillet
