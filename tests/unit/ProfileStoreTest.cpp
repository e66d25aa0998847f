#include "profile/ProfileStore.h"

#include "TempDir.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& file, std::string_view bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> Get(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return in ? std::optional(std::string(std::istreambuf_iterator<char>(in), {})) : std::nullopt;
}

// UTF-16LE bytes of a literal, written by the compiler rather than the code under test.
std::string Wide(std::u16string_view text)
{
    std::string out;
    for (const char16_t c : text)
        out.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
    return out;
}

// One call on a file: a read when `write` is none, else a write (refused when `read` differs).
struct ProfileCase {
    const char* name;
    std::optional<std::string> before; // none: no file
    const char* section;
    const char* key;
    std::optional<std::string> write;
    std::string read; // what the store, and a fresh one, give afterwards; "DEF": the default
    std::optional<std::string> after = {}; // writes only (reads must leave the file as it was)
};

class ProfileTest : public testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileTest, ChangesOnlyWhatItMust)
{
    const ProfileCase& c = GetParam();
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
    if (c.before)
        Put(file, *c.before);
    ProfileStore store(file);
    int errors = 0;
    store.SetErrorHandler([&](const ProfileError&) { ++errors; });
    const bool refused = c.write && c.read != *c.write;
    if (c.write) {
        EXPECT_EQ(store.WriteString(c.section, c.key, *c.write), !refused);
    }
    EXPECT_EQ(errors, refused ? 1 : 0);
    EXPECT_EQ(Get(file), c.write ? c.after : c.before);
    EXPECT_EQ(store.GetString(c.section, c.key, "DEF"), c.read);
    EXPECT_EQ(ProfileStore(file).GetString(c.section, c.key, "DEF"), c.read);
}

INSTANTIATE_TEST_SUITE_P(Profiles, ProfileTest, testing::Values(
    ProfileCase{"NamesIgnoreCase", "[Sect]\r\nMyKey=v\r\n", "sECT", "MYKEY", {}, "v"},
    ProfileCase{"KeyOfOtherSection", "[a]\r\nk=v\r\n[b]\r\n", "b", "k", {}, "DEF"},
    ProfileCase{"Blanks", "[s]\r\n \t\vk \t= \tv x \v\r\n", " s ", "k ", {}, "v x"},
    ProfileCase{"DoubleQuotes", "[s]\r\nk= \"  v \" \r\n", "s", "k", {}, "  v "},
    ProfileCase{"SingleQuotes", "[s]\r\nk='v'\r\n", "s", "k", {}, "v"},
    ProfileCase{"MismatchedQuotes", "[s]\r\nk=\"v'\r\n", "s", "k", {}, "\"v'"},
    ProfileCase{"OnePairOfQuotes", "[s]\r\nk=\"\"v\"\"\r\n", "s", "k", {}, "\"v\""},
    ProfileCase{"LoneQuote", "[s]\r\nk=\"\r\n", "s", "k", {}, "\""},
    ProfileCase{"Comment", "[s]\r\n;k=v\r\n  ;k=w\r\n", "s", "k", {}, "DEF"},
    ProfileCase{"HashIsText", "[s]\r\n#k=v\r\n", "s", "#k", {}, "v"},
    ProfileCase{"NoInlineComment", "[s]\r\nk=v ;c\r\n", "s", "k", {}, "v ;c"},
    ProfileCase{"MissingBracket", " [ s \r\nk=v\r\n", "s", "k", {}, "v"},
    ProfileCase{"TextAfterBracket", "[ s ] x]\r\nk=v\r\n", "s", "k", {}, "v"},
    ProfileCase{"BeforeFirstSection", "k=v\r\n[s]\r\n", "s", "k", {}, "DEF"},
    ProfileCase{"NoEquals", "[s]\r\nk\r\n", "s", "k", {}, "DEF"},
    ProfileCase{"FirstEqualsSplits", "[s]\r\nk = a=b\r\n", "s", "k", {}, "a=b"},
    ProfileCase{"EmptyValue", "[s]\r\nk=\r\n", "s", "k", {}, ""},
    ProfileCase{"NewFile", std::nullopt, "SECTION", "KEY", "value", "value", "[SECTION]\r\nKEY=value\r\n"},
    ProfileCase{"KeepsKeySpelling", "[Sec]\r\n  MyKey = old \r\nz=1\r\n", "sec", "mykey", "new", "new",
                "[Sec]\r\nMyKey=new\r\nz=1\r\n"},
    ProfileCase{"FirstDuplicate", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "3", "3", "[s]\r\nk=3\r\nK=2\r\n"},
    ProfileCase{"CrAndLfLinesKept", "[s]\rk=1\nj=2\n", "s", "k", "9", "9", "[s]\rk=9\r\nj=2\n"},
    ProfileCase{"NewKeyAfterLastKey", "x=0\r\n[a]\r\nk=1\r\n\r\n; c\r\n[b]\r\nk=2\r\n", "A", "n", "3", "3",
                "x=0\r\n[a]\r\nk=1\r\nn=3\r\n\r\n; c\r\n[b]\r\nk=2\r\n"},
    ProfileCase{"NewKeyInEmptySection", "[a]\r\n; c\r\n[b]\r\n", "a", "n", "1", "1", "[a]\r\nn=1\r\n; c\r\n[b]\r\n"},
    ProfileCase{"NewKeyInFirstOfTwo", "[a]\r\nk=1\r\n[b]\r\n[A]\r\nn=2\r\n", "a", "n", "3", "3",
                "[a]\r\nk=1\r\nn=3\r\n[b]\r\n[A]\r\nn=2\r\n"},
    ProfileCase{"NewKeyAfterUnendedLine", "[a]\r\nk=1", "a", "n", "2", "2", "[a]\r\nk=1\r\nn=2\r\n"},
    ProfileCase{"NewSectionAtEndAfterUnendedLine", "[a]\r\nk=1\r\n; end", "b", "k", "2", "2",
                "[a]\r\nk=1\r\n; end\r\n[b]\r\nk=2\r\n"},
    ProfileCase{"UntouchedBytes", "junk\r\n[s]\r\n#x\r\n odd\r\nk = \"q\"\r\n\r\n[t]\r\ny=1\n", "t", "y", "2", "2",
                "junk\r\n[s]\r\n#x\r\n odd\r\nk = \"q\"\r\n\r\n[t]\r\ny=2\r\n"},
    ProfileCase{"ValueVerbatim", "[s]\r\n", "s", "k", "\"x\" ;y", "\"x\" ;y", "[s]\r\nk=\"x\" ;y\r\n"},
    ProfileCase{"QuotedToKeepBlanks", "[s]\r\n", "s", "k", " x\t", " x\t", "[s]\r\nk=\" x\t\"\r\n"},
    ProfileCase{"QuotedToKeepQuotes", "[s]\r\n", "s", "k", "'x'", "'x'", "[s]\r\nk=\"'x'\"\r\n"},
    ProfileCase{"RefusesLfNoFile", std::nullopt, "s", "k", "a\nb", "DEF", std::nullopt},
    ProfileCase{"RefusesCr", "[s]\r\nk=1\r\n", "s", "k", "a\rb", "1", "[s]\r\nk=1\r\n"},
    ProfileCase{"RefusesKeyWithEquals", "[s]\r\n", "s", "a=b", "1", "DEF", "[s]\r\n"},
    // The file keeps its encoding; a CP932 key keeps its own bytes (this NEC-selected IBM
    // extension would not come back the same from the encoder).
    ProfileCase{"Cp932", "[\x83\x5D]\r\n\xED\x40=\x92\x6C\r\nraw=\xED\x40\x80\r\n", "\xE3\x82\xBE", "\xE7\xBA\x8A",
                "\xE6\x96\xB0", "\xE6\x96\xB0", "[\x83\x5D]\r\n\xED\x40=\x90\x56\r\nraw=\xED\x40\x80\r\n"},
    ProfileCase{"Cp932ToUtf8ForEmoji", "[s]\r\nk=\x92\x6C\r\nj=\x82\xA0\n", "s", "k", "\xF0\x9F\x98\x80",
                "\xF0\x9F\x98\x80", "[s]\r\nk=\xF0\x9F\x98\x80\r\nj=\xE3\x81\x82\n"},
    ProfileCase{"Utf8Bom", "\xEF\xBB\xBF[s]\r\nk=\xE5\x80\xA4\r\n", "s", "k", "x", "x", "\xEF\xBB\xBF[s]\r\nk=x\r\n"},
    ProfileCase{"Utf16Le", Wide(u"\uFEFF;\u5024\r[s]\r\nk=\u5024\r\nj=x\n"), "s", "k", "\xF0\x9F\x98\x80",
                "\xF0\x9F\x98\x80", Wide(u"\uFEFF;\u5024\r[s]\r\nk=\U0001F600\r\nj=x\n")}),
    [](const auto& info) { return std::string(info.param.name); });

// Files other tools damaged: a write of s/k changes its own line only, and the rest still reads
// as it did, the topic s/t (UTF-8, CP932 or UTF-16LE on disk) included.
const std::string kTopic = "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE4\xBA\x88\xE5\xAE\x9A";
const std::string kTopic932 = "\x93\xFA\x96\x7B\x82\xCC\x97\x5C\x92\xE8";
const std::string kNew = "\xE6\x96\xB0", kNew932 = "\x90\x56", kEmoji = "\xF0\x9F\x98\x80";

struct DamagedCase {
    const char* name;
    std::string before;
    std::string value;
    std::string after;
};

class DamagedFileTest : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedFileTest, WriteChangesOnlyItsLine)
{
    const DamagedCase& c = GetParam();
    TempDir dir;
    Put(dir.path / "p.ini", c.before);
    EXPECT_TRUE(ProfileStore(dir.path / "p.ini").WriteString("s", "k", c.value));
    EXPECT_EQ(Get(dir.path / "p.ini"), c.after);
    ProfileStore fresh(dir.path / "p.ini");
    EXPECT_EQ(fresh.GetString("s", "k", "DEF"), c.value);
    EXPECT_EQ(fresh.GetString("s", "t", "DEF"), kTopic);
}

INSTANTIATE_TEST_SUITE_P(Profiles, DamagedFileTest, testing::Values(
    DamagedCase{"StrayByte", ";\x80\r\n[s]\r\nt=" + kTopic + "\r\nk=1\r\n", kNew,
                ";\x80\r\n[s]\r\nt=" + kTopic + "\r\nk=" + kNew + "\r\n"},
    DamagedCase{"LastCharacterCut", "[s]\r\nt=" + kTopic + "\r\n;" + kTopic.substr(0, 4), kNew,
                "[s]\r\nt=" + kTopic + "\r\nk=" + kNew + "\r\n;" + kTopic.substr(0, 4)},
    DamagedCase{"OddUtf16", Wide(u"\uFEFF[s]\r\nt=\u65E5\u672C\u306E\u4E88\u5B9A") + "!", kNew,
                Wide(u"\uFEFF[s]\r\nt=\u65E5\u672C\u306E\u4E88\u5B9A\r\nk=\u65B0\r\n") + "!"},
    DamagedCase{"MixedLineEnds", "[s]\rt=" + kTopic932 + "\n\r\nk=1\r;\n", kNew,
                "[s]\rt=" + kTopic932 + "\n\r\nk=" + kNew932 + "\r\n;\n"},
    DamagedCase{"BadCp932LeadBytes", ";\x85\x40\xFD\r\n[s]\r\n\x85=x\r\nt=" + kTopic932 + "\r\n", kNew,
                ";\x85\x40\xFD\r\n[s]\r\n\x85=x\r\nt=" + kTopic932 + "\r\nk=" + kNew932 + "\r\n"},
    // Into UTF-8 for the emoji: the bad bytes stay, unless they would make the file read as CP932.
    DamagedCase{"ToUtf8KeepsBadBytes", "[s]\r\nt=" + kTopic932 + "\r\n;\x80\xFD\r\n", kEmoji,
                "[s]\r\nt=" + kTopic + "\r\nk=" + kEmoji + "\r\n;\x80\xFD\r\n"},
    DamagedCase{"ToUtf8ReplacesTooManyBadBytes", "[s]\r\nt=" + kTopic932 + "\r\n;\x80\xFD\x80\r\n", kEmoji,
                "[s]\r\nt=" + kTopic + "\r\nk=" + kEmoji + "\r\n;\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileStore, IntsParseLikeWindowsAndWriteAsSignedDecimal)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {{" \t-17", -17}, {"+5", 5}, {"12ab", 12}, {"ab", 0}, {"\"7\"", 7}, {"4294967295", -1},
                 {"99999999999", 1215752191}, {"0XfFg", 255}, {"-0x10", -16}};
    TempDir dir;
    for (const auto& c : cases) {
        Put(dir.path / "p.ini", "[s]\r\nk=" + std::string(c.text) + "\r\n");
        EXPECT_EQ(ProfileStore(dir.path / "p.ini").GetInt("s", "k", 77), c.expected) << c.text;
    }
    EXPECT_TRUE(ProfileStore(dir.path / "p.ini").WriteInt("s", "k", INT_MIN));
    EXPECT_EQ(Get(dir.path / "p.ini"), "[s]\r\nk=-2147483648\r\n");
}

TEST(ProfileStore, CrashBeforeRenameKeepsTheOldFile)
{
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
    Put(file, "[s]\r\nk=old\r\n");
    EXPECT_EXIT(
        {
            ProfileStore store(file);
            store.SetReplaceHook([](ReplaceStep s) {
                if (s == ReplaceStep::Rename)
                    _exit(3); // the process dies with the new file complete beside the old one
                return 0;
            });
            store.WriteString("s", "k", "new");
        },
        testing::ExitedWithCode(3), "");
    EXPECT_EQ(Get(file), "[s]\r\nk=old\r\n");
}

class SaveStepTest : public testing::TestWithParam<ReplaceStep> {};

// Each step refused as a read-only disk or a full one would refuse it.
TEST_P(SaveStepTest, FailureKeepsTheOldFileAndDropsTheChange)
{
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
    Put(file, "[s]\r\nk=old\r\n");
    ProfileStore store(file);
    std::vector<ProfileError> errors;
    store.SetErrorHandler([&](const ProfileError& e) { errors.push_back(e); });
    const ReplaceStep step = GetParam();
    store.SetReplaceHook([step](ReplaceStep s) { return s == step ? EROFS : 0; });

    EXPECT_FALSE(store.WriteString("s", "k", "new"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].file, file.string());
    EXPECT_NE(errors[0].reason.find(std::strerror(EROFS)), std::string::npos) << errors[0].reason;
    EXPECT_EQ(Get(file), "[s]\r\nk=old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1); // no temporary left
    EXPECT_EQ(store.GetString("s", "k", ""), "old");

    store.SetReplaceHook({});
    EXPECT_TRUE(store.WriteString("s", "j", "1"));
    EXPECT_EQ(Get(file), "[s]\r\nk=old\r\nj=1\r\n");
}

INSTANTIATE_TEST_SUITE_P(Profiles, SaveStepTest, testing::Values(ReplaceStep::CreateFolder, ReplaceStep::CreateTemp,
                                                                 ReplaceStep::WriteTemp, ReplaceStep::SyncTemp, ReplaceStep::Rename));

TEST(ProfileStore, ReadOnlyFileOrFolderFailsTheWrite)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores file permissions";
    for (const bool lockFolder : {false, true}) {
        TempDir dir;
        const fs::path file = dir.path / "p.ini";
        Put(file, "[s]\r\nk=old\r\n");
        chmod(lockFolder ? dir.path.c_str() : file.c_str(), lockFolder ? 0500 : 0400);
        ProfileStore store(file);
        int errors = 0;
        store.SetErrorHandler([&](const ProfileError&) { ++errors; });
        EXPECT_FALSE(store.WriteString("s", "k", "new"));
        EXPECT_EQ(errors, 1);
        EXPECT_EQ(Get(file), "[s]\r\nk=old\r\n");
        EXPECT_EQ(store.GetString("s", "k", ""), "old");
    }
}

TEST(ProfileStore, BatchReplacesTheFileOnce)
{
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
    ProfileStore store(file);
    int renames = 0;
    store.SetReplaceHook([&](ReplaceStep s) { renames += s == ReplaceStep::Rename; return 0; });
    {
        ProfileStore::Batch batch(store);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(store.WriteInt("s", "k" + std::to_string(i), i));
        {
            ProfileStore::Batch inner(store);
            EXPECT_TRUE(store.WriteString("t", "x", "y"));
            EXPECT_TRUE(inner.Commit());
        }
        EXPECT_EQ(store.GetInt("s", "k2", -1), 2);
        EXPECT_FALSE(fs::exists(file));
    }
    EXPECT_EQ(renames, 1);
    EXPECT_EQ(Get(file), "[s]\r\nk0=0\r\nk1=1\r\nk2=2\r\n[t]\r\nx=y\r\n");
    { ProfileStore::Batch nothing(store); }
    EXPECT_EQ(renames, 1);

    store.SetReplaceHook([](ReplaceStep s) { return s == ReplaceStep::Rename ? EROFS : 0; });
    ProfileStore::Batch failing(store);
    store.WriteString("s", "k0", "lost");
    EXPECT_FALSE(failing.Commit());
    EXPECT_EQ(store.GetString("s", "k0", ""), "0");
}

TEST(ProfileStore, OtherProgramsEditsSurvive)
{
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
    ProfileStore store(file);
    ASSERT_TRUE(store.WriteString("s", "a", "1"));
    Put(file, "[s]\r\na=1\r\nb=2\r\n");
    EXPECT_EQ(store.GetString("s", "b", ""), "2");
    // Rewritten in place at the same size, likely within the same timestamp tick.
    Put(file, "[s]\r\na=1\r\nb=3\r\n");
    ASSERT_TRUE(store.WriteString("s", "a", "4"));
    EXPECT_EQ(Get(file), "[s]\r\na=4\r\nb=3\r\n");

    ProfileStore::Batch batch(store);
    store.WriteString("s", "c", "5");
    Put(file, "[s]\r\na=4\r\nb=6\r\n");
    EXPECT_TRUE(batch.Commit());
    EXPECT_EQ(Get(file), "[s]\r\na=4\r\nb=6\r\nc=5\r\n");
}

// A new file (and folder) is private even under umask 0; an old file keeps its mode even under 077.
TEST(ProfileStore, NewFilesArePrivateOldOnesKeepTheirMode)
{
    for (const bool existing : {false, true}) {
        TempDir dir;
        const fs::path file = dir.path / "new" / "p.ini";
        if (existing) {
            fs::create_directory(dir.path / "new");
            Put(file, "");
            chmod(file.c_str(), 0644);
        }
        const mode_t saved = umask(existing ? 077 : 0);
        EXPECT_TRUE(ProfileStore(file).WriteString("s", "k", "v"));
        umask(saved);
        EXPECT_EQ(fs::status(file).permissions(), existing ? fs::perms(0644) : fs::perms(0600));
        if (!existing) {
            EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms(0700));
        }
    }
}

TEST(ProfileStore, SymlinkStaysALink)
{
    TempDir dir;
    Put(dir.path / "real.ini", "[s]\r\nk=1\r\n");
    fs::create_symlink("real.ini", dir.path / "p.ini");
    EXPECT_TRUE(ProfileStore(dir.path / "p.ini").WriteString("s", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(dir.path / "p.ini"));
    EXPECT_EQ(Get(dir.path / "real.ini"), "[s]\r\nk=2\r\n");
}

// Speed is measured in bench/; this pins that a batch reads back whole, also when the file is
// larger than one read and every key has to be found again to be replaced.
TEST(ProfileStore, LargeBatchRoundTrips)
{
    TempDir dir;
    for (const std::string& value : {std::string(40, 'a'), std::string(40, 'b')}) {
        ProfileStore store(dir.path / "p.ini");
        ProfileStore::Batch batch(store);
        for (int i = 0; i < 2000; ++i)
            store.WriteString("Topics", std::to_string(i), value);
        EXPECT_TRUE(batch.Commit());
        ProfileStore reader(dir.path / "p.ini");
        int found = 0;
        for (int i = 0; i < 2000; ++i)
            found += reader.GetString("Topics", std::to_string(i), "") == value;
        EXPECT_EQ(found, 2000);
    }
    EXPECT_GT(fs::file_size(dir.path / "p.ini"), 65536u);
}

TEST(ProfileStore, DefaultPathFollowsTheConfigFolder)
{
    const char* oldHome = std::getenv("HOME");
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedHome = oldHome ? oldHome : "", savedConfig = oldConfig ? oldConfig : "";
    setenv("HOME", "/home/u", 1);
    const struct {
        const char* config; // nullptr: unset
        const char* expected;
    } cases[] = {{"/cfg", "/cfg/ombrel.ini"}, {nullptr, "/home/u/.config/ombrel.ini"}, {"rel", "/home/u/.config/ombrel.ini"}};
    for (const auto& c : cases) {
        c.config ? setenv("XDG_CONFIG_HOME", c.config, 1) : unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(DefaultProfilePath("ombrel"), fs::path(c.expected)) << (c.config ? c.config : "unset");
    }
    oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
    oldConfig ? setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}

} // namespace
