// One stored topic entry: a fixed-width date header followed by the topic text,
// and the line-break and key conversions used when entries are saved and loaded.
#pragma once

#include <optional>
#include <string_view>

#include "core/String.h"

// "[%4d:%2d:%2d]": 12 bytes for every four-digit year, padded with spaces.
CString FormatTopicHeader(int year, int month, int day);

struct ParsedHeader {
    int year = 0;
    int month = 0;
    int day = 0;
    int length = 0; // bytes of the entry taken by the header
};

// Reads the date from the first 12 bytes the way the header has always been read
// (sscanf with the header pattern), so hand-edited headers keep working; no value
// unless all three numbers are there. The closing ']' is optional.
std::optional<ParsedHeader> ParseTopicHeader(std::string_view entry);

// The entry without its header; a copy of the header inside the text is kept.
CString TopicText(std::string_view entry, const ParsedHeader& header);

// Every CR LF, lone CR and lone LF becomes CR LF.
CString NormalizeLineBreaks(std::string_view text);
// Each CR LF becomes "<CR>" so an entry fits on one line of the settings file.
CString EscapeLineBreaks(std::string_view text);
// Each "<CR>" becomes CR LF; a literal "<CR>" in a topic cannot be told apart from a break.
CString UnescapeLineBreaks(std::string_view text);

// The first line of a topic with something on it (other than spaces, tabs and ideographic
// spaces); "" for a blank topic.
CString TopicTitle(std::string_view text);

// The settings key of entry i: five digits, zero-filled, more when needed.
CString TopicKey(int i);
