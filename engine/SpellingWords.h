#pragma once
// Which words of a line the spell checker reads. Only prose is read: the styling greys markup,
// code spans, fences, HTML blocks and link definitions, and marks link targets with their URL;
// those characters are left out, and so are the blank-separated tokens that are web addresses,
// e-mail addresses or paths. Words are found with ICU's word break rules.

#include "engine/Range.h"
#include "engine/TextStore.h"

#include <string_view>
#include <vector>

namespace quillet {

// Whether characters styled with `attributes` are prose: in the text colour (or unstyled) and
// not part of a link's target.
bool isProse(const TextAttributes& attributes);

// The words of `line` to check, in order, as ranges within `line`. `unread` lists the ranges
// (within `line`, in any order) that are not prose. Only words of letters count: numbers, words
// with digits or dots (file names, abbreviations), words in capitals (acronyms), single letters
// and the scripts written without spaces between words are left alone.
std::vector<Range> wordsToCheck(std::u16string_view line, const std::vector<Range>& unread = {});

} // namespace quillet
