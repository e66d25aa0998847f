#include "topics/TopicEntry.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr std::size_t kHeaderBytes = 12;
}

CString FormatTopicHeader(int year, int month, int day)
{
    CString header;
    header.Format("[%4d:%2d:%2d]", year, month, day);
    return header;
}

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "dd" or " d": the two-byte fields of a header as the program writes it.
bool ReadPadded(std::string_view field, int& value)
{
    if (!IsDigit(field[1]) || !(IsDigit(field[0]) || field[0] == ' '))
        return false;
    value = (field[0] == ' ' ? 0 : field[0] - '0') * 10 + (field[1] - '0');
    return true;
}

// Headers the program wrote, "[2026:12: 1]", read without sscanf: a large date book has a
// hundred thousand of them to index at every start. Anything else takes the general path.
std::optional<ParsedHeader> ParseWrittenHeader(std::string_view entry)
{
    if (entry.size() < kHeaderBytes || entry[0] != '[' || entry[5] != ':' || entry[8] != ':' || entry[11] != ']')
        return std::nullopt;
    ParsedHeader parsed;
    for (std::size_t i = 1; i <= 4; ++i) {
        if (!IsDigit(entry[i]))
            return std::nullopt;
        parsed.year = parsed.year * 10 + (entry[i] - '0');
    }
    if (!ReadPadded(entry.substr(6, 2), parsed.month) || !ReadPadded(entry.substr(9, 2), parsed.day))
        return std::nullopt;
    parsed.length = static_cast<int>(kHeaderBytes);
    return parsed;
}

} // namespace

std::optional<ParsedHeader> ParseTopicHeader(std::string_view entry)
{
    if (auto parsed = ParseWrittenHeader(entry))
        return parsed;
    // Only the first 12 bytes count, as when the header was read with sscanf on a
    // 12-byte copy; reading through sscanf itself keeps every width/sign/space rule identical.
    char buffer[kHeaderBytes + 1] = {};
    const std::size_t n = std::min(entry.size(), kHeaderBytes);
    std::copy_n(entry.data(), n, buffer);

    ParsedHeader parsed;
    int consumed = -1;
    if (std::sscanf(buffer, "[%4d:%2d:%2d%n", &parsed.year, &parsed.month, &parsed.day, &consumed) != 3
        || consumed < 0)
        return std::nullopt;
    parsed.length = consumed;
    if (buffer[consumed] == ']') // the NUL terminator stops this at byte 12
        ++parsed.length;
    return parsed;
}

CString TopicText(std::string_view entry, const ParsedHeader& header)
{
    const std::size_t skip = std::min(entry.size(), static_cast<std::size_t>(std::max(header.length, 0)));
    return CString(entry.substr(skip));
}

CString NormalizeLineBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return CString(std::move(out));
}

CString EscapeLineBreaks(std::string_view text)
{
    CString out(text);
    out.Replace("\r\n", "<CR>");
    return out;
}

CString UnescapeLineBreaks(std::string_view text)
{
    CString out(text);
    out.Replace("<CR>", "\r\n");
    return out;
}

CString TopicKey(int i)
{
    CString key;
    key.Format("%05d", i);
    return key;
}

CString TopicTitle(std::string_view text)
{
    constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        std::string_view line = text.substr(0, end);
        for (std::string_view rest = line; !rest.empty();) {
            if (rest.front() == ' ' || rest.front() == '\t')
                rest.remove_prefix(1);
            else if (rest.starts_with(kIdeographicSpace))
                rest.remove_prefix(kIdeographicSpace.size());
            else
                return CString(line);
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return {};
}
