#include "profile/AtomicFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

FileStamp StampOf(const struct stat& st)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.mtimeSec = st.st_mtim.tv_sec;
    stamp.mtimeNsec = st.st_mtim.tv_nsec;
    return stamp;
}

bool Fail(std::string& reason, const std::string& what, int err)
{
    reason = what + ": " + std::error_code(err, std::generic_category()).message();
    return false;
}

int RunHook(const ReplaceHook& hook, ReplaceStep step)
{
    return hook ? hook(step) : 0;
}

// mkdir -p; only the folders made here get 0700.
int MakeFolders(const fs::path& folder)
{
    struct stat st;
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    fs::path prefix;
    for (const fs::path& part : folder) {
        prefix /= part;
        if (mkdir(prefix.c_str(), 0700) == 0)
            continue;
        const int err = errno;
        if (err != EEXIST)
            return err;
        if (stat(prefix.c_str(), &st) != 0)
            return errno;
        if (!S_ISDIR(st.st_mode))
            return ENOTDIR;
    }
    return 0;
}

void SyncFolder(const fs::path& folder)
{
    // Makes the rename itself durable. The new bytes are in place whatever happens here,
    // and some file systems cannot sync a folder at all, so failures are not reported.
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// The file a write lands in: a symbolic link's target, so the link itself stays. A bare name
// gets its folder, ".", spelled out.
fs::path ResolveTarget(const fs::path& file)
{
    fs::path target = file;
    struct stat st;
    if (lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::error_code ec;
        fs::path resolved = fs::weakly_canonical(file, ec);
        if (!ec)
            target = std::move(resolved);
    }
    return target.has_parent_path() ? target : fs::path(".") / target;
}

bool MakeFolder(const fs::path& folder, const ReplaceHook& hook, std::string& reason)
{
    int err = RunHook(hook, ReplaceStep::CreateFolder);
    if (!err)
        err = MakeFolders(folder);
    return err ? Fail(reason, "cannot create the folder " + folder.string(), err) : true;
}

// What the new file takes over from the one it replaces.
struct OldFile {
    bool exists = false;
    mode_t mode = 0600; // a new file is private
    uid_t owner = 0;
    gid_t group = 0;
};

bool CheckOldFile(const fs::path& target, OldFile& old, std::string& reason)
{
    struct stat st;
    if (stat(target.c_str(), &st) != 0) {
        const int err = errno;
        return err == ENOENT ? true : Fail(reason, "cannot examine the file", err);
    }
    if (!S_ISREG(st.st_mode))
        return Fail(reason, "cannot replace the file", S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    // rename() only needs the folder to be writable; the file's own mode must count too.
    if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        const int err = errno;
        return Fail(reason, "the file is not writable", err);
    }
    old = {true, static_cast<mode_t>(st.st_mode & 07777), st.st_uid, st.st_gid};
    return true;
}

// The new bytes beside the target until they are renamed over it; gone again if they never are.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile()
    {
        if (m_fd >= 0)
            close(m_fd);
        if (!m_path.empty())
            unlink(m_path.c_str());
    }

    bool Create(const fs::path& target, const OldFile& old, const ReplaceHook& hook, std::string& reason);
    bool WriteAndSync(std::string_view bytes, const ReplaceHook& hook, FileStamp& stamp, std::string& reason);
    bool RenameOver(const fs::path& target, const ReplaceHook& hook, std::string& reason);

private:
    std::string m_path; // empty: nothing to clean up
    int m_fd = -1;
};

bool TempFile::Create(const fs::path& target, const OldFile& old, const ReplaceHook& hook, std::string& reason)
{
    const fs::path folder = target.parent_path();
    std::string path = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int err = RunHook(hook, ReplaceStep::CreateTemp);
    if (!err) {
        m_fd = mkostemp(path.data(), O_CLOEXEC);
        if (m_fd < 0)
            err = errno;
    }
    if (err)
        return Fail(reason, "cannot create a temporary file in " + folder.string(), err);
    m_path = std::move(path);
    if (fchmod(m_fd, old.mode) != 0) {
        err = errno;
        return Fail(reason, "cannot set the file mode", err);
    }
    if (old.exists) {
        // Only root can give the file back to another owner; anyone else ends up owning it,
        // which is no reason to refuse the write.
        [[maybe_unused]] const int chowned = fchown(m_fd, old.owner, old.group);
    }
    return true;
}

bool TempFile::WriteAndSync(std::string_view bytes, const ReplaceHook& hook, FileStamp& stamp, std::string& reason)
{
    int err = RunHook(hook, ReplaceStep::WriteTemp);
    for (std::size_t done = 0; !err && done < bytes.size();) {
        const ssize_t n = write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n >= 0)
            done += static_cast<std::size_t>(n);
        else if (errno != EINTR)
            err = errno;
    }
    if (err)
        return Fail(reason, "cannot write the temporary file", err);
    err = RunHook(hook, ReplaceStep::SyncTemp);
    if (!err && fsync(m_fd) != 0)
        err = errno;
    if (err)
        return Fail(reason, "cannot flush the temporary file to disk", err);
    struct stat st;
    if (fstat(m_fd, &st) != 0) {
        err = errno;
        return Fail(reason, "cannot examine the temporary file", err);
    }
    stamp = StampOf(st);
    const int closing = close(m_fd);
    err = errno;
    m_fd = -1;
    return closing == 0 ? true : Fail(reason, "cannot write the temporary file", err);
}

bool TempFile::RenameOver(const fs::path& target, const ReplaceHook& hook, std::string& reason)
{
    int err = RunHook(hook, ReplaceStep::Rename);
    if (!err && rename(m_path.c_str(), target.c_str()) != 0)
        err = errno;
    if (err)
        return Fail(reason, "cannot replace the file", err);
    m_path.clear();
    SyncFolder(target.parent_path());
    return true;
}

// Temporaries of replaces that a crash or a kill interrupted: the name mkostemp gives ours
// (".NAME." and six letters or digits), older than a minute so a save under way elsewhere keeps
// its own.
void RemoveLeftoverTemporaries(const fs::path& target)
{
    const std::string prefix = "." + target.filename().string() + ".";
    const auto now = fs::file_time_type::clock::now();
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(target.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + 6 || !name.starts_with(prefix) || !entry.is_regular_file(ec)
            || entry.is_symlink(ec))
            continue;
        const std::string_view tail = std::string_view(name).substr(prefix.size());
        if (!std::all_of(tail.begin(), tail.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            continue;
        const auto written = entry.last_write_time(ec);
        if (!ec && now - written > std::chrono::minutes(1))
            fs::remove(entry.path(), ec);
    }
}

} // namespace

FileStamp StampFile(const fs::path& file)
{
    struct stat st;
    if (stat(file.c_str(), &st) != 0)
        return {};
    return StampOf(st);
}

bool ReadWholeFile(const fs::path& file, FileContent& content, std::string& reason)
{
    content = {};
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            return true;
        return Fail(reason, "cannot open the file", err);
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        const int err = errno;
        close(fd);
        return Fail(reason, "cannot examine the file", err);
    }
    content.exists = true;
    content.stamp = StampOf(st);
    if (st.st_size > 0)
        content.bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            const int err = errno;
            if (err == EINTR)
                continue;
            close(fd);
            content = {};
            return Fail(reason, "cannot read the file", err);
        }
        content.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return true;
}

bool ReplaceFileAtomically(const fs::path& file, std::string_view bytes, const ReplaceHook& hook,
                           FileStamp& written, std::string& reason)
{
    const fs::path target = ResolveTarget(file);
    OldFile old;
    TempFile temp;
    FileStamp stamp;
    if (!MakeFolder(target.parent_path(), hook, reason) || !CheckOldFile(target, old, reason)
        || !temp.Create(target, old, hook, reason) || !temp.WriteAndSync(bytes, hook, stamp, reason)
        || !temp.RenameOver(target, hook, reason))
        return false;
    written = stamp;
    RemoveLeftoverTemporaries(target);
    return true;
}
