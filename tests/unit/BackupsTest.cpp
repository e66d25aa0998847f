// Dated and named copies of the profile: one a day, the newest 30 kept, named ones never removed.
#include "profile/Backups.h"

#include "TempDir.h"

#include <fstream>
#include <iterator>
#include <set>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string Get(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Backups, OneCopyADayOfTheFileAsItStoodAndTheNewestThirtyKept)
{
    TempDir dir;
    const fs::path profile = dir.path / "ombrelclock.ini";
    const fs::path folder = dir.path / "state" / "backups";
    ProfileBackups backups(profile, folder);
    std::string reason;
    EXPECT_TRUE(backups.BeforeWrite("2026-12-01", reason)) << reason; // no file yet: nothing to copy
    EXPECT_FALSE(fs::exists(folder));

    Put(profile, "day one");
    EXPECT_TRUE(backups.BeforeWrite("2026-12-02", reason));
    Put(profile, "changed the same day");
    EXPECT_TRUE(backups.BeforeWrite("2026-12-02", reason));
    EXPECT_TRUE(ProfileBackups(profile, folder).BeforeWrite("2026-12-02", reason)); // after a restart too
    EXPECT_EQ(Get(folder / "ombrelclock-2026-12-02.ini"), "day one");
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms(0700));
    EXPECT_EQ(fs::status(folder / "ombrelclock-2026-12-02.ini").permissions(), fs::perms(0600));

    const fs::path named = backups.Keep("outside", "2026-11-01-093000", "theirs", reason);
    ASSERT_FALSE(named.empty()) << reason;
    EXPECT_EQ(named.filename(), "ombrelclock-2026-11-01-093000-outside.ini");
    EXPECT_EQ(backups.Keep("outside", "2026-11-01-093000", "again", reason).filename(),
              "ombrelclock-2026-11-01-093000-outside-2.ini");
    Put(folder / "notes.txt", "not ours");
    for (int day = 1; day <= 31; ++day) {
        char name[16];
        std::snprintf(name, sizeof name, "2027-01-%02d", day);
        EXPECT_TRUE(ProfileBackups(profile, folder).BeforeWrite(name, reason));
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    EXPECT_FALSE(names.count("ombrelclock-2026-12-02.ini")); // the 32nd and 31st newest went
    EXPECT_FALSE(names.count("ombrelclock-2027-01-01.ini"));
    EXPECT_TRUE(names.count("ombrelclock-2027-01-02.ini"));
    EXPECT_TRUE(names.count("ombrelclock-2027-01-31.ini"));
    EXPECT_TRUE(names.count("ombrelclock-2026-11-01-093000-outside.ini"));
    EXPECT_TRUE(names.count("notes.txt"));
    EXPECT_EQ(names.size(), 30u + 3u);
}

} // namespace
