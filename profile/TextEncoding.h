// Text encodings of profile files: telling them apart and converting to and from UTF-8,
// the program's internal text. CP932 goes through glibc's iconv; the others are done here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class TextEncoding {
    Utf8, // no byte order mark
    Utf8Bom,
    Utf16Le, // always with its byte order mark
    Cp932,
};

// A UTF-16LE mark wins, then a UTF-8 mark. Without one the file is UTF-8 when at least 90 % of
// its bytes above ASCII form valid UTF-8 (so also when it has none of them), else CP932.
TextEncoding DetectTextEncoding(std::string_view fileBytes);
std::string_view ByteOrderMark(TextEncoding encoding);
// Bytes per code unit: 2 for UTF-16LE, else 1.
std::size_t CodeUnitSize(TextEncoding encoding);
// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// Converts one encoding to and from UTF-8; keep one around for many short texts
// (opening an iconv descriptor costs far more than converting a line).
class TextCodec {
public:
    explicit TextCodec(TextEncoding encoding);
    ~TextCodec();
    TextCodec(const TextCodec&) = delete;
    TextCodec& operator=(const TextCodec&) = delete;

    // Bytes without a byte order mark; whatever does not decode reads as U+FFFD, never fails.
    std::string Decode(std::string_view bytes);
    // For moving text into a UTF-8 file: like Decode, but a byte that does not decode stays as
    // it is, and there mostly reads as U+FFFD again. UTF-16 has no such single bytes: Decode.
    std::string DecodeKeepingBadBytes(std::string_view bytes);
    // Nothing when the text is not UTF-8 or has a character that would not read back
    // unchanged (CP932 has no emoji and folds some look-alikes, such as U+00A5, onto others).
    std::optional<std::string> Encode(std::string_view utf8);

private:
    std::string DecodeCp932(std::string_view bytes, bool keepBadBytes = false);
    std::optional<std::string> EncodeCp932(std::string_view utf8);

    TextEncoding m_encoding;
    void* m_toUtf8 = nullptr; // iconv_t, opened on first use
    void* m_fromUtf8 = nullptr;
};
