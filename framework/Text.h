// Text as a reader compares it, from the toolkit's Unicode tables.
#pragma once

#include <string>
#include <string_view>

// UTF-8 text in the form matching compares, as UTF-16: the compatibility form (NFKC: full-width
// Latin and digits become ASCII, half-width katakana full-width), then case folded. Undecodable
// bytes become U+FFFD. Never adds or removes a NUL, so texts joined by NULs fold one by one.
std::u16string AfxFoldText(std::string_view utf8);
