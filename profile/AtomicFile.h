// Whole-file reads and atomic replaces: readers (and a crash) see the old bytes or the new ones,
// never a mix. Also the identity stamp used to notice that someone else changed a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// Enough of stat() to tell that a file was replaced or rewritten.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t mtimeSec = 0;
    std::int64_t mtimeNsec = 0;

    bool operator==(const FileStamp&) const = default;
};

// A missing file (or folder) gives exists == false.
FileStamp StampFile(const std::filesystem::path& file);

struct FileContent {
    bool exists = false;
    std::string bytes;
    FileStamp stamp;
};

// A missing file (or folder) is not a failure: it reads as empty with exists == false.
// On failure `reason` says why (strerror text).
bool ReadWholeFile(const std::filesystem::path& file, FileContent& content, std::string& reason);

// The steps of a replace, in order, for the test seam below.
enum class ReplaceStep { CreateFolder, CreateTemp, WriteTemp, SyncTemp, Rename };
// Runs before each step; a non-zero errno value makes that step fail as if the system had
// refused it. A hook may also end the process to stand for a crash at that point.
using ReplaceHook = std::function<int(ReplaceStep)>;

// Writes `bytes` to a temporary file beside `file`, syncs it and renames it over `file`, then
// syncs the folder. Missing folders are made (0700). The file keeps its mode; a new one is 0600.
// A file the user may not write is refused, even where rename() would allow replacing it.
// A symbolic link is followed, so the link stays and its target gets the new bytes.
// On failure the old file is untouched, no temporary is left and `reason` says why.
// After a replace, temporaries that interrupted replaces of the same file left behind (older
// than a minute) are removed.
bool ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           const ReplaceHook& hook, FileStamp& written, std::string& reason);
