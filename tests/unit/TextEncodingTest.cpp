// Telling a profile's encoding from its bytes, and converting to and from UTF-8: bad bytes read
// as U+FFFD, and text that would not read back the same is refused.
#include "profile/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

TEST(TextEncoding, DetectionPicksTheEncoding)
{
    const struct { std::string bytes; TextEncoding expected; } cases[] = {
        {"", TextEncoding::Utf8},
        {"k=\xE6\x97\xA5\xE6\x9C\xAC", TextEncoding::Utf8},
        {"\xEF\xBB\xBFk=v", TextEncoding::Utf8Bom},
        {"\xFF\xFEk\0", TextEncoding::Utf16Le},
        {"k=\x93\xFA\x96\x7B", TextEncoding::Cp932},
        {"\xC0\x80", TextEncoding::Cp932}, // overlong
        {"\xED\xA0\x80", TextEncoding::Cp932}, // surrogate
        {"\xF4\x90\x80\x80", TextEncoding::Cp932}, // above U+10FFFF
        {"k=\xE6\x97", TextEncoding::Cp932}, // cut short, and nothing else
        // 90 % of the bytes above ASCII must be UTF-8: 9 of 10 (a stray byte) and 18 of 20 (the last
        // character cut short) are, 6 of 7 and 2 of 5 (CP932 with a katakana pair that is UTF-8 too) not.
        {";\x80\nk=\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", TextEncoding::Utf8},
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x97", TextEncoding::Utf8},
        {";\x80\nk=\xE6\x97\xA5\xE6\x9C\xAC", TextEncoding::Cp932},
        {"k=\xC3\xA9\x93\xFA\x96\x7B", TextEncoding::Cp932}};
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(DetectTextEncoding(cases[i].bytes), cases[i].expected) << "case " << i;
}

// Bytes decode to the text, and the text encodes back to the bytes unless the row says the bytes
// are bad. No bytes: the text must be refused.
TEST(TextEncoding, CodecsDecodeAndEncode)
{
    const struct { TextEncoding encoding; std::optional<std::string> bytes; std::string utf8; bool encodes = true; } cases[] = {
        {TextEncoding::Cp932, "a\x82\xA0\\~", "a\xE3\x81\x82\\~"},
        {TextEncoding::Cp932, "\xB1", "\xEF\xBD\xB1"}, // half-width katakana
        {TextEncoding::Cp932, "\x87\x40", "\xE2\x91\xA0"}, // circled digit one
        {TextEncoding::Cp932, "a\x80" "b", "a" + kFffd + "b", false},
        {TextEncoding::Cp932, "\x82 x", kFffd + " x", false}, // lead byte without a trail byte
        {TextEncoding::Cp932, "x\x82", "x" + kFffd, false},
        {TextEncoding::Cp932, std::nullopt, "\xF0\x9F\x98\x80"}, // emoji
        {TextEncoding::Cp932, std::nullopt, "\xE3\x80\x9C"}, // wave dash would come back as U+FF5E
        {TextEncoding::Cp932, std::nullopt, "\xFF"},
        {TextEncoding::Utf8, "\xE3\x81\x82", "\xE3\x81\x82"},
        {TextEncoding::Utf8, "a\xFF" "b", "a" + kFffd + "b", false},
        {TextEncoding::Utf8Bom, std::nullopt, "a\xFF"},
        {TextEncoding::Utf16Le, std::string("A\0\x42\x30\x3D\xD8\x00\xDE", 8), "A\xE3\x81\x82\xF0\x9F\x98\x80"},
        {TextEncoding::Utf16Le, std::string("\x3D\xD8" "A\0", 4), kFffd + "A", false}, // lone surrogate
        {TextEncoding::Utf16Le, std::string("A\0B", 3), "A" + kFffd, false}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        TextCodec codec(c.encoding);
        if (c.bytes) {
            EXPECT_EQ(codec.Decode(*c.bytes), c.utf8) << "case " << i;
        }
        if (c.encodes) {
            EXPECT_EQ(codec.Encode(c.utf8), c.bytes) << "case " << i;
        }
    }
}

// Every character CP932 can decode must encode to something that decodes to it again.
TEST(Cp932, EveryDecodableCodeRoundTrips)
{
    TextCodec codec(TextEncoding::Cp932);
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = codec.Decode(bytes);
            if (text.find(kFffd) != std::string::npos)
                continue;
            const auto encoded = codec.Encode(text);
            ASSERT_TRUE(encoded) << std::hex << lead << ' ' << trail;
            EXPECT_EQ(codec.Decode(*encoded), text);
            ++checked;
        }
    }
    EXPECT_GT(checked, 7000);
}

} // namespace
