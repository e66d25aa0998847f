#include "profile/AtomicFile.h"

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
    fs::path target = file;
    struct stat st;
    if (lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::error_code ec;
        fs::path resolved = fs::weakly_canonical(file, ec);
        if (!ec)
            target = std::move(resolved);
    }
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";

    int err = RunHook(hook, ReplaceStep::CreateFolder);
    if (!err)
        err = MakeFolders(folder);
    if (err)
        return Fail(reason, "cannot create the folder " + folder.string(), err);

    mode_t mode = 0600;
    bool existed = false;
    if (stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return Fail(reason, "cannot replace the file", S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        // rename() only needs the folder to be writable; the file's own mode must count too.
        if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            err = errno;
            return Fail(reason, "the file is not writable", err);
        }
        mode = st.st_mode & 07777;
        existed = true;
    } else if (errno != ENOENT) {
        err = errno;
        return Fail(reason, "cannot examine the file", err);
    }

    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = -1;
    err = RunHook(hook, ReplaceStep::CreateTemp);
    if (!err) {
        fd = mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0)
            err = errno;
    }
    if (err)
        return Fail(reason, "cannot create a temporary file in " + folder.string(), err);

    const auto abandon = [&](const char* what, int error) {
        if (fd >= 0)
            close(fd);
        unlink(temp.c_str());
        return Fail(reason, what, error);
    };

    if (fchmod(fd, mode) != 0) {
        err = errno;
        return abandon("cannot set the file mode", err);
    }
    if (existed && fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Only root can give the file back to another owner; otherwise it is ours already.
    }

    err = RunHook(hook, ReplaceStep::WriteTemp);
    for (std::size_t done = 0; !err && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n >= 0)
            done += static_cast<std::size_t>(n);
        else if (errno != EINTR)
            err = errno;
    }
    if (err)
        return abandon("cannot write the temporary file", err);

    err = RunHook(hook, ReplaceStep::SyncTemp);
    if (!err && fsync(fd) != 0)
        err = errno;
    if (err)
        return abandon("cannot flush the temporary file to disk", err);
    struct stat after;
    if (fstat(fd, &after) != 0) {
        err = errno;
        return abandon("cannot examine the temporary file", err);
    }
    const int closing = close(fd);
    err = errno;
    fd = -1;
    if (closing != 0)
        return abandon("cannot write the temporary file", err);

    err = RunHook(hook, ReplaceStep::Rename);
    if (!err && rename(temp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err)
        return abandon("cannot replace the file", err);

    SyncFolder(folder);
    written = StampOf(after);
    return true;
}
