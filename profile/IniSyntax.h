// The line syntax of profile files: blanks, names that ignore ASCII case, what a line holds,
// how a number reads, and how a key line is written so that it reads back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ini {

// Space, tab and vertical tab; a code unit, so UTF-16 text can ask too.
bool IsBlank(char32_t c);
std::string_view Trim(std::string_view s);

// Section and key names compare without regard to ASCII case.
std::uint32_t NameHash(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

struct NameHasher {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return NameHash(s); }
};

struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return SameName(a, b); }
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value; // keys only: trimmed, one pair of outer quotes removed
};

// Views into `text`. Comments, blank lines and lines without '=' are Other.
ParsedLine ParseLine(std::string_view text);
// A key's value from what follows its '=': trimmed, one pair of outer quotes removed.
std::string_view KeyValue(std::string_view afterEquals);

// Wrapping to 32 bits like the Windows reader: "-1" and "4294967295" are the same number.
int ParseProfileInt(std::string_view s);

// `name=value`, the value in quotes when reading would otherwise trim it or strip its own
// quotes, so every value reads back as it was written (in the Windows reader too).
std::string KeyLine(std::string_view name, std::string_view value);

// Why a write would damage the file or not read back; empty when it is fine.
std::string CheckWrite(std::string_view section, std::string_view key, std::string_view value);

} // namespace ini
