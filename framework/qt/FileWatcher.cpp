#include "framework/qt/FileWatcher.h"

#include <QDateTime>
#include <QFileInfo>

#include <sys/stat.h>

namespace {
// Long enough for a writer to finish, short enough that the window follows within a second.
constexpr int kSettleMs = 200;
}

FileWatcher::FileWatcher(const QString& path, std::function<void()> changed, QObject* parent)
    : QObject(parent), m_path(QFileInfo(path).absoluteFilePath()), m_changed(std::move(changed))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &FileWatcher::settle);
    // A rename over the file ends the file's own watch; the folder's watch sees it and re-arms.
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_settle.start(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_settle.start(); });
    m_lastStamp = stamp();
    rearm();
}

void FileWatcher::rearm()
{
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!m_watcher.directories().contains(folder) && QFileInfo(folder).isDir())
        m_watcher.addPath(folder);
    if (!m_watcher.files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
}

// Identity and content stamp: another inode, size or time is a change; the folder's other files
// are not.
QString FileWatcher::stamp() const
{
    struct stat st;
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return {};
    return QStringLiteral("%1:%2:%3:%4.%5")
        .arg(st.st_dev).arg(st.st_ino).arg(st.st_size).arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec);
}

void FileWatcher::settle()
{
    rearm();
    const QString now = stamp();
    if (now == m_lastStamp)
        return;
    m_lastStamp = now;
    m_changed();
}
