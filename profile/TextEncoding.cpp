#include "profile/TextEncoding.h"

#include <cerrno>
#include <cstdint>

#include <iconv.h>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

// Length of the well-formed UTF-8 sequence at text[pos] and its code point; 0 when ill-formed.
std::size_t NextUtf8(std::string_view text, std::size_t pos, char32_t& cp)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    std::size_t length;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (at(i) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

std::string SanitizeUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t cp;
        const std::size_t length = NextUtf8(bytes, pos, cp);
        if (length == 0) {
            out += kReplacement;
            ++pos;
        } else {
            out.append(bytes.substr(pos, length));
            pos += length;
        }
    }
    return out;
}

std::uint16_t Unit16(std::string_view bytes, std::size_t pos)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[pos])
                                      | (static_cast<unsigned char>(bytes[pos + 1]) << 8));
}

std::string DecodeUtf16Le(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos + 2 <= bytes.size()) {
        const std::uint16_t unit = Unit16(bytes, pos);
        pos += 2;
        if (unit >= 0xD800 && unit <= 0xDBFF && pos + 2 <= bytes.size()) {
            const std::uint16_t low = Unit16(bytes, pos);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                pos += 2;
                AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF)
            out += kReplacement;
        else
            AppendUtf8(out, unit);
    }
    if (pos < bytes.size()) // an odd byte at the end
        out += kReplacement;
    return out;
}

std::optional<std::string> EncodeUtf16Le(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() * 2);
    const auto put = [&out](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t cp;
        const std::size_t length = NextUtf8(utf8, pos, cp);
        if (length == 0)
            return std::nullopt;
        pos += length;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

iconv_t OpenIconv(void*& slot, const char* to, const char* from)
{
    if (!slot) {
        iconv_t cd = iconv_open(to, from);
        slot = cd == kNoIconv ? nullptr : cd;
        if (!slot)
            return kNoIconv;
    }
    iconv(static_cast<iconv_t>(slot), nullptr, nullptr, nullptr, nullptr); // back to the initial state
    return static_cast<iconv_t>(slot);
}

// One iconv() pass from in into buffer, whatever it made appended to out. False where it stopped
// before the end of the input; errno then says why.
bool ConvertSome(iconv_t cd, char*& in, std::size_t& inLeft, std::string& buffer, std::string& out)
{
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    return done != static_cast<std::size_t>(-1);
}

} // namespace

// Counting rather than stopping at the first bad byte: one stray byte (a pasted comment, a last
// character cut short) must not turn a UTF-8 file into CP932, while CP932 text forms valid UTF-8
// only here and there (half-width katakana pairs, a few kanji).
TextEncoding DetectTextEncoding(std::string_view fileBytes)
{
    if (fileBytes.starts_with(kUtf16LeBom))
        return TextEncoding::Utf16Le;
    if (fileBytes.starts_with(kUtf8Bom))
        return TextEncoding::Utf8Bom;
    std::size_t high = 0; // bytes at or above 0x80
    std::size_t inUtf8 = 0; // those in well-formed UTF-8 sequences
    for (std::size_t pos = 0; pos < fileBytes.size();) {
        if (static_cast<unsigned char>(fileBytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        char32_t cp;
        const std::size_t length = NextUtf8(fileBytes, pos, cp);
        high += length == 0 ? 1 : length;
        inUtf8 += length;
        pos += length == 0 ? 1 : length;
    }
    return inUtf8 * 10 >= high * 9 ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

std::string_view ByteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return kUtf8Bom;
    case TextEncoding::Utf16Le:
        return kUtf16LeBom;
    case TextEncoding::Utf8:
    case TextEncoding::Cp932:
        break;
    }
    return {};
}

std::size_t CodeUnitSize(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16Le ? 2 : 1;
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        char32_t cp;
        const std::size_t length = NextUtf8(text, pos, cp);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

TextCodec::TextCodec(TextEncoding encoding) : m_encoding(encoding) {}

TextCodec::~TextCodec()
{
    if (m_toUtf8)
        iconv_close(static_cast<iconv_t>(m_toUtf8));
    if (m_fromUtf8)
        iconv_close(static_cast<iconv_t>(m_fromUtf8));
}

std::string TextCodec::Decode(std::string_view bytes)
{
    switch (m_encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return IsValidUtf8(bytes) ? std::string(bytes) : SanitizeUtf8(bytes);
    case TextEncoding::Utf16Le:
        return DecodeUtf16Le(bytes);
    case TextEncoding::Cp932:
        break;
    }
    return IsAscii(bytes) ? std::string(bytes) : DecodeCp932(bytes);
}

std::string TextCodec::DecodeKeepingBadBytes(std::string_view bytes)
{
    switch (m_encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return std::string(bytes);
    case TextEncoding::Utf16Le:
        return DecodeUtf16Le(bytes);
    case TextEncoding::Cp932:
        break;
    }
    return IsAscii(bytes) ? std::string(bytes) : DecodeCp932(bytes, true);
}

std::optional<std::string> TextCodec::Encode(std::string_view utf8)
{
    switch (m_encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        if (!IsValidUtf8(utf8))
            return std::nullopt;
        return std::string(utf8);
    case TextEncoding::Utf16Le:
        return EncodeUtf16Le(utf8);
    case TextEncoding::Cp932:
        break;
    }
    if (IsAscii(utf8))
        return std::string(utf8);
    if (!IsValidUtf8(utf8))
        return std::nullopt;
    return EncodeCp932(utf8);
}

std::string TextCodec::DecodeCp932(std::string_view bytes, bool keepBadBytes)
{
    std::string out;
    const auto bad = [&](char c) {
        if (keepBadBytes)
            out += c;
        else
            out += kReplacement;
    };
    const iconv_t cd = OpenIconv(m_toUtf8, "UTF-8", "CP932");
    if (cd == kNoIconv) { // no converter installed: keep what is certain
        for (const char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80)
                out += c;
            else
                bad(c);
        }
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::string buffer(bytes.size() * 3 + 16, '\0');
    while (inLeft > 0) {
        if (ConvertSome(cd, in, inLeft, buffer, out))
            break;
        if (errno == E2BIG)
            continue;
        // EILSEQ or a sequence cut short at the end: that one byte reads as U+FFFD.
        bad(*in);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::optional<std::string> TextCodec::EncodeCp932(std::string_view utf8)
{
    const iconv_t cd = OpenIconv(m_fromUtf8, "CP932", "UTF-8");
    if (cd == kNoIconv)
        return std::nullopt;
    std::string out;
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    std::string buffer(utf8.size() + 16, '\0');
    while (inLeft > 0) {
        if (ConvertSome(cd, in, inLeft, buffer, out))
            break;
        if (errno != E2BIG)
            return std::nullopt;
    }
    // The converter maps some characters onto look-alikes; those would not read back.
    if (DecodeCp932(out) != utf8)
        return std::nullopt;
    return out;
}
