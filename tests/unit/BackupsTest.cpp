// Dated and named copies of the profile: one a day, the newest 30 kept, named ones never removed.
#include "profile/Backups.h"

#include "TempDir.h"

#include <fstream>
#include <iterator>
#include <set>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
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
    std::ifstream copy(folder / "ombrelclock-2026-12-02.ini", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), "day one");
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms(0700));
    EXPECT_EQ(fs::status(folder / "ombrelclock-2026-12-02.ini").permissions(), fs::perms(0600));

    // Named copies never clash, and the daily pruning leaves them and other files alone.
    const std::string named = "ombrelclock-2026-11-01-093000-outside";
    EXPECT_EQ(backups.Keep("outside", "2026-11-01-093000", "theirs", reason).filename(), named + ".ini") << reason;
    EXPECT_EQ(backups.Keep("outside", "2026-11-01-093000", "again", reason).filename(), named + "-2.ini");
    std::set<std::string> expected{"notes.txt", named + ".ini", named + "-2.ini"};
    Put(folder / "notes.txt", "not ours");
    for (int day = 1; day <= 31; ++day) {
        const std::string date = "2027-01-" + std::string(day < 10 ? "0" : "") + std::to_string(day);
        EXPECT_TRUE(ProfileBackups(profile, folder).BeforeWrite(date, reason));
        if (day > 1) // the 31st and 32nd newest, 2026-12-02 and 2027-01-01, went
            expected.insert("ombrelclock-" + date + ".ini");
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, expected);
}

} // namespace
