#include "engine/UrlText.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(UrlTextTest, TellsUrlsAStrictParserTakesFromTheRest) {
    for (std::u16string_view url :
         {u"http://example.com/a/b?q=1&r=2#frag", u"pictures:/a.png", u"file:///tmp/a%20b.png", u"a.png",
          u"../img/x.png", u"mailto:someone@example.com", u"http://[::1]:8080/", u"", u"?q", u"#top",
          u"a+b-c.d:rest", u"%41%7e"})
        EXPECT_TRUE(isValidUrlString(url)) << std::string(url.begin(), url.end());
    for (std::u16string_view url :
         {u"a b.png", u"caf\u00e9.png", u"100%", u"%4g", u"%4", u"a\"b", u"a<b>", u"x#y#z", u"a{b}",
          u"path/[x]", u"1abc:x", u":x", u"a_b:x", u"tab\there", u"back\\slash", u"http://a/b c"})
        EXPECT_FALSE(isValidUrlString(url)) << std::string(url.begin(), url.end());
}

TEST(UrlTextTest, PercentEncodesEverythingButAsciiLettersAndDigits) {
    EXPECT_EQ(percentEncodeAllButAlphanumerics(u"a b.Az09"), u"a%20b%2EAz09");
    EXPECT_EQ(percentEncodeAllButAlphanumerics(u"\u20ac\U0001F600"), u"%E2%82%AC%F0%9F%98%80");
    // An unpaired surrogate cannot be UTF-8: it stands as the replacement character.
    EXPECT_EQ(percentEncodeAllButAlphanumerics(std::u16string(1, char16_t(0xD800)) + u"x"), u"%EF%BF%BDx");
}

TEST(UrlTextTest, SchemesPathsAndFileUrls) {
    EXPECT_EQ(urlScheme(u"iCloudDrive:/a.png"), u"iCloudDrive");
    for (std::u16string_view noScheme : {u"a/b:c", u"a.png", u"1x:y", u"pictures%3A%2Fa"})
        EXPECT_EQ(urlScheme(noScheme), std::nullopt) << std::string(noScheme.begin(), noScheme.end());
    EXPECT_EQ(urlPath(u"file:///tmp/a%20b.png?x#y"), "/tmp/a b.png");
    EXPECT_EQ(urlPath(u"http://host:80/p/q"), "/p/q");
    EXPECT_EQ(urlPath(u"pictures://host"), "");
    EXPECT_EQ(urlPath(u"file:///caf%C3%A9"), "/caf\xc3\xa9");
    EXPECT_EQ(urlPath(u"x:/100%"), "/100%");
    EXPECT_EQ(lastPathComponent("/a/dir/"), "dir");
    EXPECT_EQ(lastPathComponent("/"), "");
    EXPECT_EQ(fileUrlText("/x/caf\xc3\xa9#1 b"), u"file:///x/caf%C3%A9%231%20b");
    EXPECT_EQ(utf16FromBytes("a\xff"), u"a\ufffd");
}

} // namespace
} // namespace quillet
