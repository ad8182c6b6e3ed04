#include "engine/CodeKeywords.h"

namespace quillet {

const std::array<std::u16string_view, 42> kPredefinedStylesForCSS{
    u"pre",    u"h1",  u"h2",      u"h3",     u"h4",     u"h5",         u"h6",    u"hr",   u"a",
    u"p",      u"dl",  u"ul",      u"li",     u"ol",     u"blockquote", u"table", u"dd",   u"tt",
    u"tr",     u"dt",  u"th",      u"td",     u"img",    u"span",       u"em",    u"code", u"aside",
    u"strong", u"b",   u"article", u"footer", u"video",  u"nav",        u"sub",   u"sup",  u"abbr",
    u"dfn",    u"ins", u"mark",    u"html",   u"header", u"body"};

const std::array<std::u16string_view, 16> kPredefinedValuesForCSS{
    u"auto",   u"none", u"white", u"black", u"transparent", u"thin",     u"thick",     u"dotted",
    u"normal", u"bold", u"light", u"solid", u"block",       u"relative", u"base-line", u"!important"};

const std::array<std::u16string_view, 26> kPredefinedStylesForPython{
    u"import", u"with",   u"def",      u"return", u"if",     u"else",     u"elif",   u"while", u"for",
    u"in",     u"break",  u"continue", u"is",     u"try",    u"except",   u"finaly", u"raise", u"del",
    u"pass",   u"assert", u"exec",     u"global", u"lambda", u"iterator", u"yield",  u"class"};

const std::array<std::u16string_view, 10> kPredefinedValuesForPython{
    u"True", u"False", u"print", u"[", u"]", u"{", u"}", u"and", u"or", u"not"};

} // namespace quillet
