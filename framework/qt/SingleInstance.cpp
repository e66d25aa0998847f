#include "framework/qt/SingleInstance.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSocketNotifier>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#if defined(__unix__)
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A running copy answers at once; one that does not within this is not waited for.
constexpr milliseconds kAnswerTime{1000};
// Another copy holds the lock only for its own hand-over attempt (at most kAnswerTime).
constexpr milliseconds kLockTime{3000};
// What the running copy says to a start it accepts; a listener that says nothing is not a copy.
constexpr char kGreeting[] = "ombrelclock\n";
constexpr size_t kGreetingSize = sizeof kGreeting - 1;

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

#if defined(__unix__)

// A real folder (not a symlink), the user's own, that nobody else may enter.
bool isPrivateFolder(const std::string& folder)
{
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 077) == 0;
}

// $XDG_RUNTIME_DIR, else /tmp/ombrelclock-<uid>; either only where private and short enough for
// a socket's address. Empty if neither.
std::string privateFolder()
{
    constexpr size_t room = sizeof(sockaddr_un::sun_path) - sizeof "/ombrelclock-0123456789abcdef";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && std::strlen(runtime) <= room && isPrivateFolder(runtime))
        return runtime;
    const std::string fallback = "/tmp/ombrelclock-" + std::to_string(::geteuid());
    // Anyone may have made that name first in the shared /tmp; the check below refuses theirs.
    if (::mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(fallback) ? fallback : std::string();
}

bool toAddress(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A socket connected to `path`, or -1 with errno set. A blocking one waits at most kAnswerTime
// where the listener's queue is full.
int connectTo(const std::string& path, bool blocking)
{
    sockaddr_un address;
    if (!toAddress(path, address)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | (blocking ? 0 : SOCK_NONBLOCK), 0);
    if (fd < 0)
        return -1;
    const auto micros = std::chrono::microseconds(kAnswerTime).count();
    const timeval limit{time_t(micros / 1000000), suseconds_t(micros % 1000000)};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool peerIsUs(int fd)
{
#if defined(SO_PEERCRED)
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(fd, &uid, &gid) == 0 && uid == ::geteuid();
#endif
}

bool readGreeting(int fd, Clock::time_point deadline)
{
    std::string got;
    while (got.size() < kGreetingSize) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
        pollfd wait{fd, POLLIN, 0};
        const int ready = left > 0 ? ::poll(&wait, 1, int(left)) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char buffer[kGreetingSize];
        const ssize_t n = ::recv(fd, buffer, kGreetingSize - got.size(), 0);
        if (n <= 0)
            return false;
        got.append(buffer, size_t(n));
    }
    return got == kGreeting;
}

// What a copy that crashed leaves: a socket file of ours that nobody listens on.
bool isStaleSocketOfOurs(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    const int fd = connectTo(path, false);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    return errno == ECONNREFUSED;
}

bool bindTo(int fd, const std::string& path)
{
    sockaddr_un address;
    if (!toAddress(path, address)) {
        errno = ENAMETOOLONG;
        return false;
    }
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

#endif

} // namespace

SingleInstance::SingleInstance(const QString& profilePath, QObject* parent)
    : QObject(parent), m_path(socketPathFor(profilePath))
{
}

SingleInstance::~SingleInstance()
{
#if defined(__unix__)
    if (m_listenFd >= 0) {
        delete m_notifier;
        m_notifier = nullptr;
        // Only the file this copy made: another copy may have put its own there since.
        struct stat st {};
        const std::string path = nativePath(m_path);
        if (::lstat(path.c_str(), &st) == 0 && st.st_ino == m_socketInode)
            ::unlink(path.c_str());
        ::close(m_listenFd);
    }
#endif
    unlock();
}

QString SingleInstance::keyFor(const QString& profilePath)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path path = fs::absolute(fs::path(nativePath(profilePath)), error);
    if (error)
        path = nativePath(profilePath);
    fs::path canonical = fs::weakly_canonical(path, error);
    if (error)
        canonical = path.lexically_normal();
    const QByteArray bytes = QByteArray::fromStdString(canonical.native());
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("ombrelclock-") + QString::fromLatin1(hash);
}

QString SingleInstance::socketPathFor(const QString& profilePath)
{
#if defined(__unix__)
    const std::string folder = privateFolder();
    if (!folder.empty())
        return QFile::decodeName(folder.c_str()) + u'/' + keyFor(profilePath);
#endif
    return {};
}

#if defined(__unix__)

// Held from the hand-over attempt until this copy listens, so two copies started together
// neither both listen nor remove each other's socket as stale.
void SingleInstance::lock()
{
    if (m_lockFd >= 0 || m_path.isEmpty())
        return;
    const std::string path = nativePath(m_path) + ".lock";
    m_lockFd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    const auto deadline = Clock::now() + kLockTime;
    while (m_lockFd >= 0 && ::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        // A copy stopped while holding it must not stop this start: go on without.
        if ((errno != EWOULDBLOCK && errno != EINTR) || Clock::now() >= deadline) {
            unlock();
            return;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
}

void SingleInstance::unlock()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = -1;
}

bool SingleInstance::handOverToRunningCopy()
{
    if (m_path.isEmpty())
        return false;
    lock();
    const auto deadline = Clock::now() + kAnswerTime;
    const int fd = connectTo(nativePath(m_path), true);
    if (fd < 0)
        return false;
    // Only a copy of this user is trusted, and only once it has answered.
    const bool handedOver = peerIsUs(fd) && readGreeting(fd, deadline);
    ::close(fd);
    return handedOver;
}

void SingleInstance::listen(std::function<void()> activate)
{
    m_activate = std::move(activate);
    if (m_path.isEmpty()) {
        std::fputs("ombrelclock: no folder of this user's alone for the hand-over socket; "
                   "later starts will not come to this copy\n", stderr);
        return;
    }
    lock();
    const std::string path = nativePath(m_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    bool bound = fd >= 0 && bindTo(fd, path);
    // Whatever else holds the name (a plain file, another user's socket, a live listener that
    // is no copy of ours) is left alone: this copy then runs without listening.
    if (!bound && errno == EADDRINUSE && isStaleSocketOfOurs(path)) {
        ::unlink(path.c_str());
        bound = bindTo(fd, path);
    }
    struct stat st {};
    if (!bound || ::listen(fd, SOMAXCONN) != 0 || ::lstat(path.c_str(), &st) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        unlock();
        std::fprintf(stderr, "ombrelclock: cannot listen on %s (%s); later starts will not come to this copy\n",
                     path.c_str(), std::strerror(error));
        return;
    }
    unlock();
    m_listenFd = fd;
    m_socketInode = st.st_ino;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::accept);
}

void SingleInstance::accept()
{
    for (;;) {
        const int peer = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (peer < 0 && (errno == EINTR || errno == ECONNABORTED))
            continue;
        if (peer < 0)
            return; // none left waiting
        const bool ours = peerIsUs(peer);
        if (ours)
            (void)::send(peer, kGreeting, kGreetingSize, MSG_NOSIGNAL);
        ::close(peer);
        if (ours && m_activate)
            m_activate();
    }
}

#else // no hand-over here: every start runs

void SingleInstance::lock() {}
void SingleInstance::unlock() {}
bool SingleInstance::handOverToRunningCopy() { return false; }
void SingleInstance::listen(std::function<void()> activate) { m_activate = std::move(activate); }
void SingleInstance::accept() {}

#endif
