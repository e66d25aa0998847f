// The INI profile against files as other programs and people leave them: what reads, what a write
// changes (one line, in the file's own encoding), and what a failed or interrupted write leaves.
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

// Each test's own folder, and the profile in it.
struct Scratch {
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
};
class ProfileStoreTest : public testing::Test, protected Scratch {};

// Japanese text, as UTF-8 and as CP932.
const std::string kTopic = "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE4\xBA\x88\xE5\xAE\x9A";
const std::string kTopic932 = "\x93\xFA\x96\x7B\x82\xCC\x97\x5C\x92\xE8";
const std::string kNew = "\xE6\x96\xB0", kNew932 = "\x90\x56", kEmoji = "\xF0\x9F\x98\x80";
const std::string kKana = "\xEF\xBE\x83\xEF\xBD\xA9\xEF\xBE\x83\xEF\xBD\xA9\xEF\xBE\x83\xEF\xBD\xA9"; // ﾃｩﾃｩﾃｩ

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

class ProfileTest : public testing::TestWithParam<ProfileCase>, protected Scratch {};

TEST_P(ProfileTest, ChangesOnlyWhatItMust)
{
    const ProfileCase& c = GetParam();
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
    ProfileCase{"KeyOfOtherSection", "[a]\r\nk=v\r\n[b]\r\n", "b", "k", {}, "DEF"},
    ProfileCase{"Blanks", "[s]\r\n \t\vk \t= \tv x \v\r\n", " s ", "k ", {}, "v x"},
    ProfileCase{"DoubleQuotes", "[s]\r\nk= \"  v \" \r\n", "s", "k", {}, "  v "},
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
    // Names match whatever their case, and a rewritten key keeps its spelling.
    ProfileCase{"KeepsKeySpelling", "[Sec]\r\n  MyKey = old \r\nz=1\r\n", "sec", "mykey", "new", "new",
                "[Sec]\r\nMyKey=new\r\nz=1\r\n"},
    ProfileCase{"FirstDuplicate", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "3", "3", "[s]\r\nk=3\r\nK=2\r\n"},
    ProfileCase{"NewKeyAfterLastKey", "x=0\r\n[a]\r\nk=1\r\n\r\n; c\r\n[b]\r\nk=2\r\n", "A", "n", "3", "3",
                "x=0\r\n[a]\r\nk=1\r\nn=3\r\n\r\n; c\r\n[b]\r\nk=2\r\n"},
    ProfileCase{"NewKeyInEmptySection", "[a]\r\n; c\r\n[b]\r\n", "a", "n", "1", "1", "[a]\r\nn=1\r\n; c\r\n[b]\r\n"},
    ProfileCase{"NewKeyInFirstOfTwo", "[a]\r\nk=1\r\n[b]\r\n[A]\r\nn=2\r\n", "a", "n", "3", "3",
                "[a]\r\nk=1\r\nn=3\r\n[b]\r\n[A]\r\nn=2\r\n"},
    ProfileCase{"NewKeyAfterUnendedLine", "[a]\r\nk=1", "a", "n", "2", "2", "[a]\r\nk=1\r\nn=2\r\n"},
    ProfileCase{"NewSectionAtEndAfterUnendedLine", "[a]\r\nk=1\r\n; end", "b", "k", "2", "2",
                "[a]\r\nk=1\r\n; end\r\n[b]\r\nk=2\r\n"},
    // Every other line keeps its bytes and its CR, LF or CRLF; the written one ends in CRLF.
    ProfileCase{"UntouchedBytes", "junk\r\n[s]\r#x\n\r\n odd\r\nk = \"q\"\r\n[t]\r\ny=1\n", "t", "y", "2", "2",
                "junk\r\n[s]\r#x\n\r\n odd\r\nk = \"q\"\r\n[t]\r\ny=2\r\n"},
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
    ProfileCase{"Utf8Bom", "\xEF\xBB\xBF[s]\r\nk=\xE5\x80\xA4\r\n", "s", "k", "x", "x", "\xEF\xBB\xBF[s]\r\nk=x\r\n"},
    ProfileCase{"Utf16Le", Wide(u"\uFEFF;\u5024\r[s]\r\nk=\u5024\r\nj=x\n"), "s", "k", kEmoji, kEmoji,
                Wide(u"\uFEFF;\u5024\r[s]\r\nk=\U0001F600\r\nj=x\n")},
    // Files other tools damaged: the write still changes its own line only, and the detector
    // still reads the file as it did.
    ProfileCase{"StrayByte", ";\x80\r\n[s]\r\nt=" + kTopic + "\r\nk=1\r\n", "s", "k", kNew, kNew,
                ";\x80\r\n[s]\r\nt=" + kTopic + "\r\nk=" + kNew + "\r\n"},
    ProfileCase{"LastCharacterCut", "[s]\r\nt=" + kTopic + "\r\n;" + kTopic.substr(0, 4), "s", "k", kNew, kNew,
                "[s]\r\nt=" + kTopic + "\r\nk=" + kNew + "\r\n;" + kTopic.substr(0, 4)},
    ProfileCase{"OddUtf16", Wide(u"\uFEFF[s]\r\nt=\u65E5\u672C\u306E\u4E88\u5B9A") + "!", "s", "k", kNew, kNew,
                Wide(u"\uFEFF[s]\r\nt=\u65E5\u672C\u306E\u4E88\u5B9A\r\nk=\u65B0\r\n") + "!"},
    ProfileCase{"BadCp932LeadBytes", ";\x85\x40\xFD\r\n[s]\r\n\x85=x\r\nt=" + kTopic932 + "\r\n", "s", "k", kNew, kNew,
                ";\x85\x40\xFD\r\n[s]\r\n\x85=x\r\nt=" + kTopic932 + "\r\nk=" + kNew932 + "\r\n"},
    // Into UTF-8 for the emoji: the bad bytes stay, unless they would make the file read as CP932.
    ProfileCase{"ToUtf8KeepsBadBytes", "[s]\r\nt=" + kTopic932 + "\r\n;\x80\xFD\r\n", "s", "k", kEmoji, kEmoji,
                "[s]\r\nt=" + kTopic + "\r\nk=" + kEmoji + "\r\n;\x80\xFD\r\n"},
    // Half-width kana are single CP932 bytes that also read as UTF-8: the file tips to UTF-8, and
    // the line written over an ASCII one moves with it.
    ProfileCase{"WrittenKanaTipTheFile", "[s]\r\nk=\r\nt=\xE6\x97\xA5\xE6:\r\n", "s", "k", kKana, kKana,
                "[s]\r\nk=" + kKana + "\r\nt=\xE8\xAD\x8C\xEF\xBD\xA5\xE6:\r\n"},
    ProfileCase{"ToUtf8ReplacesTooManyBadBytes", "[s]\r\nt=" + kTopic932 + "\r\n;\x80\xFD\x80\r\n", "s", "k", kEmoji,
                kEmoji, "[s]\r\nt=" + kTopic + "\r\nk=" + kEmoji + "\r\n;\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileStoreTest, IntsParseLikeWindowsAndWriteAsSignedDecimal)
{
    const struct { const char* text; int expected; } cases[] = {
        {" \t-17", -17}, {"+5", 5}, {"12ab", 12}, {"ab", 0}, {"\"7\"", 7}, {"4294967295", -1},
        {"99999999999", 1215752191}, {"0XfFg", 255}, {"-0x10", -16}};
    for (const auto& c : cases) {
        Put(file, "[s]\r\nk=" + std::string(c.text) + "\r\n");
        EXPECT_EQ(ProfileStore(file).GetInt("s", "k", 77), c.expected) << c.text;
    }
    EXPECT_TRUE(ProfileStore(file).WriteInt("s", "k", INT_MIN));
    EXPECT_EQ(Get(file), "[s]\r\nk=-2147483648\r\n");
}

TEST_F(ProfileStoreTest, CrashBeforeRenameKeepsTheOldFile)
{
    Put(file, "[s]\r\nk=old\r\n");
    ProfileStore store(file);
    // The process dies with the new file complete beside the old one.
    store.SetReplaceHook([](ReplaceStep s) { return s == ReplaceStep::Rename ? (_exit(3), 0) : 0; });
    EXPECT_EXIT(store.WriteString("s", "k", "new"), testing::ExitedWithCode(3), "");
    EXPECT_EQ(Get(file), "[s]\r\nk=old\r\n");
}

// A step refused as a read-only disk or a full one would refuse it, or the file or its folder
// really made read-only (which root ignores).
struct SaveFailure {
    std::optional<ReplaceStep> step;
    mode_t fileMode = 0600, folderMode = 0700;
};

class SaveFailureTest : public testing::TestWithParam<SaveFailure>, protected Scratch {};

TEST_P(SaveFailureTest, KeepsTheOldFileAndDropsTheChange)
{
    const SaveFailure& c = GetParam();
    if (!c.step && geteuid() == 0)
        GTEST_SKIP() << "root ignores file permissions";
    Put(file, "[s]\r\nk=old\r\n");
    ProfileStore store(file);
    std::vector<ProfileError> errors;
    store.SetErrorHandler([&](const ProfileError& e) { errors.push_back(e); });
    store.SetReplaceHook([step = c.step](ReplaceStep s) { return s == step ? EROFS : 0; });
    chmod(file.c_str(), c.fileMode);
    chmod(dir.path.c_str(), c.folderMode);

    EXPECT_FALSE(store.WriteString("s", "k", "new"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].file, file.string());
    EXPECT_NE(errors[0].reason.find(std::strerror(c.step ? EROFS : EACCES)), std::string::npos) << errors[0].reason;
    EXPECT_EQ(Get(file), "[s]\r\nk=old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1); // no temporary left
    EXPECT_EQ(store.GetString("s", "k", ""), "old");

    // Once the disk takes writes again, so does the store.
    store.SetReplaceHook({});
    chmod(file.c_str(), 0600);
    chmod(dir.path.c_str(), 0700);
    EXPECT_TRUE(store.WriteString("s", "j", "1"));
    EXPECT_EQ(Get(file), "[s]\r\nk=old\r\nj=1\r\n");
}

INSTANTIATE_TEST_SUITE_P(Profiles, SaveFailureTest, testing::Values(
    SaveFailure{ReplaceStep::CreateFolder}, SaveFailure{ReplaceStep::CreateTemp}, SaveFailure{ReplaceStep::WriteTemp},
    SaveFailure{ReplaceStep::SyncTemp}, SaveFailure{ReplaceStep::Rename}, SaveFailure{std::nullopt, 0400},
    SaveFailure{std::nullopt, 0600, 0500}));

TEST_F(ProfileStoreTest, BatchReplacesTheFileOnce)
{
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

TEST_F(ProfileStoreTest, OtherProgramsEditsSurvive)
{
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

// A new file (and folder) is private even under umask 0; an old file keeps its mode even under
// 077, and a symbolic link stays a link, its target getting the new bytes.
TEST_F(ProfileStoreTest, ReplaceKeepsModeAndLinks)
{
    const fs::path fresh = dir.path / "new" / "p.ini", old = dir.path / "old.ini", link = dir.path / "link.ini";
    Put(old, "");
    chmod(old.c_str(), 0644);
    fs::create_symlink("old.ini", link);
    const mode_t saved = umask(0);
    EXPECT_TRUE(ProfileStore(fresh).WriteString("s", "k", "v"));
    umask(077);
    EXPECT_TRUE(ProfileStore(link).WriteString("s", "k", "v"));
    umask(saved);
    EXPECT_EQ(fs::status(fresh).permissions(), fs::perms(0600));
    EXPECT_EQ(fs::status(fresh.parent_path()).permissions(), fs::perms(0700));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(old).permissions(), fs::perms(0644));
    EXPECT_EQ(Get(old), "[s]\r\nk=v\r\n");
}

// Speed is measured in bench/; this pins that a batch reads back whole, also when the file is
// larger than one read and every key has to be found again to be replaced.
TEST_F(ProfileStoreTest, LargeBatchRoundTrips)
{
    for (const std::string& value : {std::string(40, 'a'), std::string(40, 'b')}) {
        ProfileStore store(file);
        ProfileStore::Batch batch(store);
        for (int i = 0; i < 2000; ++i)
            store.WriteString("Topics", std::to_string(i), value);
        EXPECT_TRUE(batch.Commit());
        ProfileStore reader(file);
        int found = 0;
        for (int i = 0; i < 2000; ++i)
            found += reader.GetString("Topics", std::to_string(i), "") == value;
        EXPECT_EQ(found, 2000);
    }
    EXPECT_GT(fs::file_size(file), 65536u);
}

// Lines are decoded only when looked at, some from their bytes, some in full: names and values
// of both kinds, next to each other, in a CP932 file (予定 ends in a '\\' byte).
TEST_F(ProfileStoreTest, KeysAndValuesOfDecodedLines)
{
    const std::string nihon932 = "\x93\xFA\x96\x7B", yotei932 = "\x97\x5C\x92\xE8";
    Put(file, "[" + nihon932 + "]\r\n" + yotei932 + "=1\r\nk=" + kTopic932 + "\r\n[s]\r\nk=v\r\n");
    ProfileStore store(file);
    const std::string nihon = "\xE6\x97\xA5\xE6\x9C\xAC", yotei = "\xE4\xBA\x88\xE5\xAE\x9A";
    std::vector<std::string> seen;
    const auto keys = [&](std::string_view k, std::string_view v) { seen.push_back(std::string(k) + "=" + std::string(v)); };
    store.ForEachKey(nihon, keys);
    EXPECT_EQ(seen, (std::vector<std::string>{yotei + "=1", "k=" + kTopic}));
    EXPECT_EQ(store.GetString(nihon, yotei, ""), "1");
    EXPECT_EQ(store.GetString(nihon, "k", ""), kTopic);
    seen.clear();
    store.ForEachKey("s", keys);
    EXPECT_EQ(seen, std::vector<std::string>{"k=v"});
}

TEST(ProfileStore, DefaultPathFollowsTheConfigFolder)
{
    const char* oldHome = std::getenv("HOME");
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedHome = oldHome ? oldHome : "", savedConfig = oldConfig ? oldConfig : "";
    setenv("HOME", "/home/u", 1);
    // nullptr: XDG_CONFIG_HOME unset; a relative one counts as unset too.
    const struct { const char* config; const char* expected; } cases[] = {
        {"/cfg", "/cfg/ombrel.ini"}, {nullptr, "/home/u/.config/ombrel.ini"}, {"rel", "/home/u/.config/ombrel.ini"}};
    for (const auto& c : cases) {
        c.config ? setenv("XDG_CONFIG_HOME", c.config, 1) : unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(DefaultProfilePath("ombrel"), fs::path(c.expected)) << (c.config ? c.config : "unset");
    }
    oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
    oldConfig ? setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}

} // namespace
