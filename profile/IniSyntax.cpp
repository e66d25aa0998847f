#include "profile/IniSyntax.h"

#include "profile/TextEncoding.h"

namespace ini {

namespace {

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return s;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsQuoted(std::string_view value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

} // namespace

bool IsBlank(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

std::string_view Trim(std::string_view s)
{
    s = TrimLeft(s);
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::uint32_t NameHash(std::string_view name)
{
    std::uint64_t h = 14695981039346656037ull; // FNV-1a, then mixed so the low bits spread too
    for (const char c : name) {
        h ^= static_cast<unsigned char>(LowerAscii(c));
        h *= 1099511628211ull;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

ParsedLine ParseLine(std::string_view text)
{
    std::string_view rest = TrimLeft(text);
    if (rest.empty() || rest.front() == ';')
        return {};
    if (rest.front() == '[') {
        rest.remove_prefix(1);
        return {LineKind::Section, Trim(rest.substr(0, rest.find(']'))), {}};
    }
    const std::size_t eq = rest.find('=');
    if (eq == std::string_view::npos)
        return {};
    return {LineKind::Key, Trim(rest.substr(0, eq)), KeyValue(rest.substr(eq + 1))};
}

std::string_view KeyValue(std::string_view afterEquals)
{
    std::string_view value = Trim(afterEquals);
    if (IsQuoted(value))
        value = value.substr(1, value.size() - 2);
    return value;
}

int ParseProfileInt(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && IsBlank(static_cast<unsigned char>(s[i])))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    std::uint32_t value = 0;
    if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        for (i += 2; i < s.size(); ++i) {
            const char c = LowerAscii(s[i]);
            if (c >= '0' && c <= '9')
                value = value * 16 + static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value = value * 16 + static_cast<std::uint32_t>(c - 'a' + 10);
            else
                break;
        }
    } else {
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
            value = value * 10 + static_cast<std::uint32_t>(s[i] - '0');
    }
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

std::string KeyLine(std::string_view name, std::string_view value)
{
    const bool trimmed = !value.empty() && (IsBlank(static_cast<unsigned char>(value.front()))
                                            || IsBlank(static_cast<unsigned char>(value.back())));
    const bool quote = trimmed || IsQuoted(value);
    std::string line;
    line.reserve(name.size() + value.size() + 3);
    line += name;
    line += '=';
    if (quote)
        line += '"';
    line += value;
    if (quote)
        line += '"';
    return line;
}

std::string CheckWrite(std::string_view section, std::string_view key, std::string_view value)
{
    const auto hasAny = [](std::string_view s, std::string_view chars) {
        return s.find_first_of(chars) != std::string_view::npos;
    };
    const std::string_view lineBreakOrNul("\r\n\0", 3);
    if (hasAny(value, "\r\n"))
        return "the value contains a line break, which a profile line cannot hold";
    if (hasAny(value, std::string_view("\0", 1)))
        return "the value contains a NUL character";
    if (!IsValidUtf8(section) || !IsValidUtf8(key) || !IsValidUtf8(value))
        return "the text is not valid UTF-8";
    if (section.empty() || hasAny(section, lineBreakOrNul) || hasAny(section, "]"))
        return "the section name is empty or contains a line break, NUL or ']'";
    if (key.empty() || hasAny(key, lineBreakOrNul) || hasAny(key, "=") || key.front() == '[' || key.front() == ';')
        return "the key name is empty, contains a line break, NUL or '=', or starts with '[' or ';'";
    return {};
}

} // namespace ini
