// What interrupted saves leave behind goes at the next save; nothing else in the folder does.
#include "profile/AtomicFile.h"

#include "TempDir.h"

#include <fstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(AtomicFile, ReplaceRemovesOnlyOldTemporariesOfItsOwnFile)
{
    TempDir scratch;
    const fs::path& dir = scratch.path;
    const struct {
        const char* name;
        bool old;
        bool removed;
    } cases[] = {
        {".p.ini.a1B2c3", true, true}, // a save killed before its rename
        {".p.ini.Zz9yX8", false, false}, // a save under way right now
        {".p.ini.a1B2c", true, false}, // not the temporary's shape
        {".p.ini.a1B2c-", true, false},
        {".q.ini.a1B2c3", true, false}, // another file's
        {"p.ini.a1B2c3", true, false},
    };
    for (const auto& c : cases) {
        std::ofstream(dir / c.name) << "x";
        if (c.old)
            fs::last_write_time(dir / c.name, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    }
    FileStamp written;
    std::string reason;
    ASSERT_TRUE(ReplaceFileAtomically(dir / "p.ini", "[s]\r\n", {}, written, reason)) << reason;
    for (const auto& c : cases)
        EXPECT_EQ(fs::exists(dir / c.name), !c.removed) << c.name;
}

} // namespace
