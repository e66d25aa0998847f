#include "profile/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

struct DetectCase {
    std::string bytes;
    TextEncoding expected;
};

class DetectTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectTest, PicksTheEncoding)
{
    EXPECT_EQ(DetectTextEncoding(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, DetectTest, testing::Values(
    DetectCase{"", TextEncoding::Utf8},
    DetectCase{"k=\xE6\x97\xA5\xE6\x9C\xAC", TextEncoding::Utf8},
    DetectCase{"\xEF\xBB\xBFk=v", TextEncoding::Utf8Bom},
    DetectCase{"\xFF\xFEk\0", TextEncoding::Utf16Le},
    DetectCase{"k=\x93\xFA\x96\x7B", TextEncoding::Cp932},
    DetectCase{"\xC0\x80", TextEncoding::Cp932}, // overlong
    DetectCase{"\xED\xA0\x80", TextEncoding::Cp932}, // surrogate
    DetectCase{"\xF4\x90\x80\x80", TextEncoding::Cp932}, // above U+10FFFF
    DetectCase{"k=\xE6\x97", TextEncoding::Cp932}, // cut short, and nothing else
    // 90 % of the bytes above ASCII must be UTF-8: 9 of 10 (a stray byte) and 18 of 20 (the last
    // character cut short) are, 6 of 7 and 2 of 5 (CP932 with a katakana pair that is UTF-8 too) not.
    DetectCase{";\x80\nk=\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", TextEncoding::Utf8},
    DetectCase{"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x97", TextEncoding::Utf8},
    DetectCase{";\x80\nk=\xE6\x97\xA5\xE6\x9C\xAC", TextEncoding::Cp932},
    DetectCase{"k=\xC3\xA9\x93\xFA\x96\x7B", TextEncoding::Cp932}));

struct DecodeCase {
    TextEncoding encoding;
    std::string bytes;
    std::string utf8;
};

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, NeverFailsAndMarksBadBytes)
{
    TextCodec codec(GetParam().encoding);
    EXPECT_EQ(codec.Decode(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, DecodeTest, testing::Values(
    DecodeCase{TextEncoding::Cp932, "\x82\xA0\\~", "\xE3\x81\x82\\~"},
    DecodeCase{TextEncoding::Cp932, "\xB1", "\xEF\xBD\xB1"}, // half-width katakana
    DecodeCase{TextEncoding::Cp932, "\x87\x40", "\xE2\x91\xA0"}, // circled digit one
    DecodeCase{TextEncoding::Cp932, "a\x80" "b", "a" + kFffd + "b"},
    DecodeCase{TextEncoding::Cp932, "\x82 x", kFffd + " x"}, // lead byte without a trail byte
    DecodeCase{TextEncoding::Cp932, "x\x82", "x" + kFffd},
    DecodeCase{TextEncoding::Utf8, "a\xFF" "b", "a" + kFffd + "b"},
    DecodeCase{TextEncoding::Utf16Le, std::string("A\0\x42\x30", 4), "A\xE3\x81\x82"},
    DecodeCase{TextEncoding::Utf16Le, std::string("\x3D\xD8\x00\xDE", 4), "\xF0\x9F\x98\x80"},
    DecodeCase{TextEncoding::Utf16Le, std::string("\x3D\xD8" "A\0", 4), kFffd + "A"}, // lone surrogate
    DecodeCase{TextEncoding::Utf16Le, std::string("A\0B", 3), "A" + kFffd}));

struct EncodeCase {
    TextEncoding encoding;
    std::string utf8;
    std::optional<std::string> bytes;
};

class EncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, RefusesWhatWouldNotReadBack)
{
    TextCodec codec(GetParam().encoding);
    EXPECT_EQ(codec.Encode(GetParam().utf8), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, EncodeTest, testing::Values(
    EncodeCase{TextEncoding::Cp932, "a\xE3\x81\x82", "a\x82\xA0"},
    EncodeCase{TextEncoding::Cp932, "\xF0\x9F\x98\x80", std::nullopt}, // emoji
    EncodeCase{TextEncoding::Cp932, "\xC2\xA5", std::nullopt}, // yen sign would come back as '\'
    EncodeCase{TextEncoding::Cp932, "\xE3\x80\x9C", std::nullopt}, // wave dash folds onto U+FF5E
    EncodeCase{TextEncoding::Cp932, "\xFF", std::nullopt},
    EncodeCase{TextEncoding::Utf8, "\xE3\x81\x82", "\xE3\x81\x82"},
    EncodeCase{TextEncoding::Utf8Bom, "a\xFF", std::nullopt},
    EncodeCase{TextEncoding::Utf16Le, "A\xF0\x9F\x98\x80", std::string("A\0\x3D\xD8\x00\xDE", 6)}));

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
