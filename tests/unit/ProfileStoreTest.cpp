#include "app/ProfileStore.h"

#include <chrono>
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

struct TempDir {
    fs::path path;
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "ombrel-profile.XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

void Put(const fs::path& file, std::string_view bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> Get(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// UTF-16LE bytes of a literal, written by the compiler rather than the code under test.
std::string Wide(std::u16string_view text)
{
    std::string out;
    for (const char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

template <class Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

struct ReadCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::string expected; // "DEF": the default comes back
};

class ReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, FindsTheValue)
{
    TempDir dir;
    Put(dir.path / "p.ini", GetParam().file);
    ProfileStore store(dir.path / "p.ini");
    EXPECT_EQ(store.GetString(GetParam().section, GetParam().key, "DEF"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Profiles, ReadTest, testing::Values(
    ReadCase{"SectionCase", "[Sect]\r\nk=v\r\n", "sECT", "k", "v"},
    ReadCase{"KeyCase", "[s]\r\nMyKey=v\r\n", "s", "MYKEY", "v"},
    ReadCase{"FirstKeyWins", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1"},
    ReadCase{"OnlyFirstSection", "[s]\r\na=1\r\n[t]\r\n[S]\r\nb=2\r\n", "s", "b", "DEF"},
    ReadCase{"KeyOfOtherSection", "[a]\r\nk=v\r\n[b]\r\n", "b", "k", "DEF"},
    ReadCase{"Blanks", "[s]\r\n \t\vk \t= \tv x \v\r\n", " s ", "k ", "v x"},
    ReadCase{"DoubleQuotes", "[s]\r\nk= \"  v \" \r\n", "s", "k", "  v "},
    ReadCase{"SingleQuotes", "[s]\r\nk='v'\r\n", "s", "k", "v"},
    ReadCase{"MismatchedQuotes", "[s]\r\nk=\"v'\r\n", "s", "k", "\"v'"},
    ReadCase{"OnePairOfQuotes", "[s]\r\nk=\"\"v\"\"\r\n", "s", "k", "\"v\""},
    ReadCase{"LoneQuote", "[s]\r\nk=\"\r\n", "s", "k", "\""},
    ReadCase{"Comment", "[s]\r\n;k=v\r\n  ;k=w\r\n", "s", "k", "DEF"},
    ReadCase{"HashIsText", "[s]\r\n#k=v\r\n", "s", "#k", "v"},
    ReadCase{"NoInlineComment", "[s]\r\nk=v ;c\r\n", "s", "k", "v ;c"},
    ReadCase{"MissingBracket", " [ s \r\nk=v\r\n", "s", "k", "v"},
    ReadCase{"TextAfterBracket", "[ s ] x]\r\nk=v\r\n", "s", "k", "v"},
    ReadCase{"CrOnly", "[s]\rk=v\rj=w\r", "s", "j", "w"},
    ReadCase{"LfOnly", "[s]\nk=v\nj=w", "s", "j", "w"},
    ReadCase{"BeforeFirstSection", "k=v\r\n[s]\r\n", "s", "k", "DEF"},
    ReadCase{"NoEquals", "[s]\r\nk\r\n", "s", "k", "DEF"},
    ReadCase{"FirstEqualsSplits", "[s]\r\nk = a=b\r\n", "s", "k", "a=b"},
    ReadCase{"EmptyValue", "[s]\r\nk=\r\n", "s", "k", ""}),
    CaseName<ReadCase>);

struct IntCase {
    const char* text;
    int expected;
};

class IntTest : public testing::TestWithParam<IntCase> {};

TEST_P(IntTest, ParsesLikeWindows)
{
    TempDir dir;
    Put(dir.path / "p.ini", "[s]\r\nk=" + std::string(GetParam().text) + "\r\n");
    EXPECT_EQ(ProfileStore(dir.path / "p.ini").GetInt("s", "k", 77), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Values, IntTest, testing::Values(
    IntCase{"42", 42}, IntCase{" \t-17", -17}, IntCase{"+5", 5}, IntCase{"12ab", 12}, IntCase{"1 2", 1},
    IntCase{"ab", 0}, IntCase{"", 0}, IntCase{"-", 0}, IntCase{"\"7\"", 7},
    IntCase{"4294967295", -1}, IntCase{"4294967296", 0}, IntCase{"2147483648", INT_MIN},
    IntCase{"99999999999", 1215752191}, IntCase{"0x1F", 31}, IntCase{"0XfF", 255}, IntCase{"-0x10", -16},
    IntCase{"0xg", 0}));

struct WriteCase {
    const char* name;
    std::optional<std::string> before; // none: no file
    const char* section;
    const char* key;
    std::string value;
    bool ok;
    std::optional<std::string> after;
};

class WriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteTest, ChangesOnlyWhatItMust)
{
    const WriteCase& c = GetParam();
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
    if (c.before)
        Put(file, *c.before);
    ProfileStore store(file);
    std::vector<ProfileError> errors;
    store.SetErrorHandler([&](const ProfileError& e) { errors.push_back(e); });
    EXPECT_EQ(store.WriteString(c.section, c.key, c.value), c.ok);
    EXPECT_EQ(Get(file), c.after);
    EXPECT_EQ(errors.size(), c.ok ? 0u : 1u);
    if (c.ok) {
        EXPECT_EQ(store.GetString(c.section, c.key, "DEF"), c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, WriteTest, testing::Values(
    WriteCase{"NewFile", std::nullopt, "SECTION", "KEY", "value", true, "[SECTION]\r\nKEY=value\r\n"},
    WriteCase{"EmptyFile", "", "s", "k", "v", true, "[s]\r\nk=v\r\n"},
    WriteCase{"KeepsKeySpelling", "[Sec]\r\n  MyKey = old \r\nz=1\r\n", "sec", "mykey", "new", true,
              "[Sec]\r\nMyKey=new\r\nz=1\r\n"},
    WriteCase{"FirstDuplicate", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "3", true, "[s]\r\nk=3\r\nk=2\r\n"},
    WriteCase{"LfFile", "[s]\nk=1\nj=2\n", "s", "k", "9", true, "[s]\nk=9\r\nj=2\n"},
    WriteCase{"CrFile", "[s]\rk=1\rj=2\r", "s", "j", "9", true, "[s]\rk=1\rj=9\r\n"},
    WriteCase{"SameValueSameBytes", "[s]\r\nk=v\r\n", "s", "k", "v", true, "[s]\r\nk=v\r\n"},
    WriteCase{"NewKeyAfterLastKey", "x=0\r\n[a]\r\nk=1\r\n\r\n; c\r\n[b]\r\nk=2\r\n", "A", "n", "3", true,
              "x=0\r\n[a]\r\nk=1\r\nn=3\r\n\r\n; c\r\n[b]\r\nk=2\r\n"},
    WriteCase{"NewKeyInEmptySection", "[a]\r\n; c\r\n[b]\r\n", "a", "n", "1", true, "[a]\r\nn=1\r\n; c\r\n[b]\r\n"},
    WriteCase{"NewKeyInFirstOfTwo", "[a]\r\nk=1\r\n[b]\r\n[a]\r\nn=2\r\n", "a", "n", "3", true,
              "[a]\r\nk=1\r\nn=3\r\n[b]\r\n[a]\r\nn=2\r\n"},
    WriteCase{"NewKeyAfterUnendedLine", "[a]\r\nk=1", "a", "n", "2", true, "[a]\r\nk=1\r\nn=2\r\n"},
    WriteCase{"NewSectionAtEnd", "[a]\r\nk=1\r\n; end\r\n", "b", "k", "2", true, "[a]\r\nk=1\r\n; end\r\n[b]\r\nk=2\r\n"},
    WriteCase{"NewSectionAfterUnendedLine", "[a]\r\nk=1", "b", "k", "2", true, "[a]\r\nk=1\r\n[b]\r\nk=2\r\n"},
    WriteCase{"NewSectionAfterLf", "[a]\nk=1\n", "b", "k", "2", true, "[a]\nk=1\n[b]\r\nk=2\r\n"},
    WriteCase{"MissingBracket", "[s\r\nk=1\r\n", "s", "k", "2", true, "[s\r\nk=2\r\n"},
    WriteCase{"UntouchedBytes", "junk\r\n[s]\r\n#x\r\n odd\r\nk = \"q\"\r\n\r\n[t]\r\ny=1\n", "t", "y", "2", true,
              "junk\r\n[s]\r\n#x\r\n odd\r\nk = \"q\"\r\n\r\n[t]\r\ny=2\r\n"},
    WriteCase{"ValueVerbatim", "[s]\r\n", "s", "k", "\"x\" ;y", true, "[s]\r\nk=\"x\" ;y\r\n"},
    WriteCase{"QuotedToKeepBlanks", "[s]\r\n", "s", "k", " x\t", true, "[s]\r\nk=\" x\t\"\r\n"},
    WriteCase{"QuotedToKeepQuotes", "[s]\r\n", "s", "k", "'x'", true, "[s]\r\nk=\"'x'\"\r\n"},
    WriteCase{"RefusesLf", "[s]\r\nk=1\r\n", "s", "k", "a\nb", false, "[s]\r\nk=1\r\n"},
    WriteCase{"RefusesCr", "[s]\r\nk=1\r\n", "s", "k", "a\rb", false, "[s]\r\nk=1\r\n"},
    WriteCase{"RefusesCrLfNoFile", std::nullopt, "s", "k", "a\r\n", false, std::nullopt},
    WriteCase{"RefusesKeyWithEquals", "[s]\r\n", "s", "a=b", "1", false, "[s]\r\n"}),
    CaseName<WriteCase>);

struct EncodingCase {
    const char* name;
    std::string before;
    const char* key; // in section "s" unless the file says otherwise
    std::string read; // before the write
    std::string value;
    std::string after;
    const char* section = "s";
};

class EncodingTest : public testing::TestWithParam<EncodingCase> {};

TEST_P(EncodingTest, KeepsTheFileEncoding)
{
    const EncodingCase& c = GetParam();
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
    Put(file, c.before);
    ProfileStore store(file);
    EXPECT_EQ(store.GetString(c.section, c.key, "DEF"), c.read);
    EXPECT_TRUE(store.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(Get(file), c.after);
    EXPECT_EQ(ProfileStore(file).GetString(c.section, c.key, "DEF"), c.value);
}

INSTANTIATE_TEST_SUITE_P(Files, EncodingTest, testing::Values(
    EncodingCase{"Cp932", "[\x83\x5D]\r\n\x83\x4C\x81\x5B=\x92\x6C\r\nraw=\xED\x40\x80\r\n", "\xE3\x82\xAD\xE3\x83\xBC",
                 "\xE5\x80\xA4", "\xE6\x96\xB0", "[\x83\x5D]\r\n\x83\x4C\x81\x5B=\x90\x56\r\nraw=\xED\x40\x80\r\n",
                 "\xE3\x82\xBE"},
    EncodingCase{"Cp932Unchanged", "[s]\r\n;\x83\x5D\x87\x40\xED\x40\r\nk=\x92\x6C\r\n", "k", "\xE5\x80\xA4",
                 "\xE5\x80\xA4", "[s]\r\n;\x83\x5D\x87\x40\xED\x40\r\nk=\x92\x6C\r\n"},
    EncodingCase{"Cp932KeyBytesKept", "[s]\r\n\xED\x40=1\r\n", "\xE7\xBA\x8A", "1", "2", "[s]\r\n\xED\x40=2\r\n"},
    EncodingCase{"Cp932Undecodable", "[s]\r\nk=a\x80\r\nz=\x80\x81\r\n", "k", "a\xEF\xBF\xBD", "b",
                 "[s]\r\nk=b\r\nz=\x80\x81\r\n"},
    EncodingCase{"Cp932ToUtf8ForEmoji", "[s]\r\nk=\x92\x6C\r\nj=\x82\xA0\n", "k", "\xE5\x80\xA4", "\xF0\x9F\x98\x80",
                 "[s]\r\nk=\xF0\x9F\x98\x80\r\nj=\xE3\x81\x82\n"},
    EncodingCase{"Cp932ToUtf8ForYen", "[s]\r\nk=\x92\x6C\r\n", "k", "\xE5\x80\xA4", "\xC2\xA5", "[s]\r\nk=\xC2\xA5\r\n"},
    EncodingCase{"Utf8", "[s]\r\nk=\xE5\x80\xA4\r\n", "k", "\xE5\x80\xA4", "\xF0\x9F\x98\x80",
                 "[s]\r\nk=\xF0\x9F\x98\x80\r\n"},
    EncodingCase{"Utf8Bom", "\xEF\xBB\xBF[s]\r\nk=\xE5\x80\xA4\r\n", "k", "\xE5\x80\xA4", "x", "\xEF\xBB\xBF[s]\r\nk=x\r\n"},
    EncodingCase{"Utf16Le", Wide(u"\uFEFF[s]\r\nk=\u5024\r\nj=x\n"), "k", "\xE5\x80\xA4", "\xF0\x9F\x98\x80",
                 Wide(u"\uFEFF[s]\r\nk=\U0001F600\r\nj=x\n")},
    EncodingCase{"Utf16LeUnchanged", Wide(u"\uFEFF;\u5024\r[s]\r\nk=1"), "k", "1", "1", Wide(u"\uFEFF;\u5024\r[s]\r\nk=1\r\n")},
    EncodingCase{"Utf16LeNewSection", Wide(u"\uFEFF[s]\r\nk=1"), "k", "DEF", "2",
                 Wide(u"\uFEFF[s]\r\nk=1\r\n[t]\r\nk=2\r\n"), "t"}),
    CaseName<EncodingCase>);

class SaveStepTest : public testing::TestWithParam<ReplaceStep> {};

TEST_P(SaveStepTest, CrashKeepsTheOldFile)
{
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
    Put(file, "[s]\r\nk=old\r\n");
    const ReplaceStep step = GetParam();
    EXPECT_EXIT(
        {
            ProfileStore store(file);
            store.SetReplaceHook([step](ReplaceStep s) {
                if (s == step)
                    _exit(3);
                return 0;
            });
            store.WriteString("s", "k", "new");
            _exit(0);
        },
        testing::ExitedWithCode(3), "");
    EXPECT_EQ(Get(file), "[s]\r\nk=old\r\n");
    EXPECT_EQ(ProfileStore(file).GetString("s", "k", ""), "old");
}

TEST_P(SaveStepTest, FailureKeepsTheOldFileAndDropsTheChange)
{
    TempDir dir;
    const fs::path file = dir.path / "p.ini";
    Put(file, "[s]\r\nk=old\r\n");
    ProfileStore store(file);
    std::vector<ProfileError> errors;
    store.SetErrorHandler([&](const ProfileError& e) { errors.push_back(e); });
    const ReplaceStep step = GetParam();
    store.SetReplaceHook([step](ReplaceStep s) { return s == step ? EIO : 0; });

    EXPECT_FALSE(store.WriteString("s", "k", "new"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].file, file.string());
    EXPECT_NE(errors[0].reason.find(std::strerror(EIO)), std::string::npos) << errors[0].reason;
    EXPECT_EQ(Get(file), "[s]\r\nk=old\r\n");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"p.ini"});
    EXPECT_EQ(store.GetString("s", "k", ""), "old");

    store.SetReplaceHook({});
    EXPECT_TRUE(store.WriteString("s", "j", "1"));
    EXPECT_EQ(Get(file), "[s]\r\nk=old\r\nj=1\r\n");
}

INSTANTIATE_TEST_SUITE_P(Steps, SaveStepTest, testing::Values(ReplaceStep::CreateFolder, ReplaceStep::CreateTemp,
                                                              ReplaceStep::WriteTemp, ReplaceStep::SyncTemp,
                                                              ReplaceStep::Rename));

TEST(ProfileStore, MissingFileOrFolderReadsDefaults)
{
    TempDir dir;
    ProfileStore store(dir.path / "no" / "such" / "p.ini");
    EXPECT_EQ(store.GetInt("s", "k", 7), 7);
    EXPECT_EQ(store.GetString("s", "k", "d"), "d");
    Put(dir.path / "p.ini", "[s]\r\nj=1\r\n");
    EXPECT_EQ(ProfileStore(dir.path / "p.ini").GetInt("s", "k", 7), 7);
}

TEST(ProfileStore, WriteIntIsSignedDecimal)
{
    TempDir dir;
    ProfileStore store(dir.path / "p.ini");
    EXPECT_TRUE(store.WriteInt("s", "k", INT_MIN));
    EXPECT_EQ(Get(dir.path / "p.ini"), "[s]\r\nk=-2147483648\r\n");
    EXPECT_EQ(store.GetInt("s", "k", 0), INT_MIN);
}

TEST(ProfileStore, FolderThatCannotExistFailsTheWrite)
{
    TempDir dir;
    Put(dir.path / "blocker", "x");
    ProfileStore store(dir.path / "blocker" / "p.ini");
    std::vector<ProfileError> errors;
    store.SetErrorHandler([&](const ProfileError& e) { errors.push_back(e); });
    EXPECT_FALSE(store.WriteString("s", "k", "v"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].reason.find(std::strerror(ENOTDIR)), std::string::npos) << errors[0].reason;
    EXPECT_EQ(Get(dir.path / "blocker"), "x");
}

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

TEST(ProfileStore, NoLengthLimit)
{
    TempDir dir;
    const std::string value(1 << 20, 'x');
    ProfileStore store(dir.path / "p.ini");
    EXPECT_TRUE(store.WriteString("s", "k", value));
    EXPECT_EQ(ProfileStore(dir.path / "p.ini").GetString("s", "k", ""), value);
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

struct ModeCase {
    mode_t umask;
    std::optional<mode_t> existing;
    mode_t expected;
};

class ModeTest : public testing::TestWithParam<ModeCase> {};

TEST_P(ModeTest, NewFilesArePrivateOldOnesKeepTheirMode)
{
    TempDir dir;
    const fs::path file = dir.path / "new" / "p.ini";
    if (GetParam().existing) {
        fs::create_directory(dir.path / "new");
        Put(file, "");
        chmod(file.c_str(), *GetParam().existing);
    }
    const mode_t saved = umask(GetParam().umask);
    EXPECT_TRUE(ProfileStore(file).WriteString("s", "k", "v"));
    umask(saved);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, GetParam().expected);
    ASSERT_EQ(stat(file.parent_path().c_str(), &st), 0);
    if (!GetParam().existing) {
        EXPECT_EQ(st.st_mode & 07777, 0700u);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeTest, testing::Values(ModeCase{022, std::nullopt, 0600}, ModeCase{0, std::nullopt, 0600},
                                                          ModeCase{077, 0644, 0644}, ModeCase{0, 0640, 0640}));

TEST(ProfileStore, SymlinkStaysALink)
{
    TempDir dir;
    Put(dir.path / "real.ini", "[s]\r\nk=1\r\n");
    fs::create_symlink("real.ini", dir.path / "p.ini");
    EXPECT_TRUE(ProfileStore(dir.path / "p.ini").WriteString("s", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(dir.path / "p.ini"));
    EXPECT_EQ(Get(dir.path / "real.ini"), "[s]\r\nk=2\r\n");
}

// Speed is measured in bench/; this only pins that a large batch reads back whole.
TEST(ProfileStore, HundredThousandKeysRoundTripInOneBatch)
{
    TempDir dir;
    std::vector<std::string> keys;
    for (int i = 0; i < 100000; ++i) {
        char key[8];
        std::snprintf(key, sizeof key, "%05d", i);
        keys.emplace_back(key);
    }
    for (const char* value : {"topic text", "changed topic"}) {
        ProfileStore store(dir.path / "p.ini");
        {
            ProfileStore::Batch batch(store);
            for (const std::string& key : keys)
                store.WriteString("Topics", key, value);
            EXPECT_TRUE(batch.Commit());
        }
        ProfileStore reader(dir.path / "p.ini");
        std::size_t found = 0;
        for (const std::string& key : keys)
            found += reader.GetString("Topics", key, "") == value;
        EXPECT_EQ(found, keys.size());
    }
}

struct PathCase {
    const char* config; // nullptr: unset
    const char* expected;
};

class DefaultPathTest : public testing::TestWithParam<PathCase> {};

TEST_P(DefaultPathTest, FollowsTheConfigFolder)
{
    const char* oldHome = std::getenv("HOME");
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedHome = oldHome ? oldHome : "", savedConfig = oldConfig ? oldConfig : "";
    setenv("HOME", "/home/u", 1);
    if (GetParam().config)
        setenv("XDG_CONFIG_HOME", GetParam().config, 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DefaultProfilePath("ombrel"), fs::path(GetParam().expected));
    oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
    oldConfig ? setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}

INSTANTIATE_TEST_SUITE_P(Environments, DefaultPathTest, testing::Values(
    PathCase{"/cfg", "/cfg/ombrel.ini"}, PathCase{nullptr, "/home/u/.config/ombrel.ini"},
    PathCase{"", "/home/u/.config/ombrel.ini"}, PathCase{"rel", "/home/u/.config/ombrel.ini"}));

} // namespace
