// Watches one file for changes made by anyone: written in place, replaced by a rename (as sync
// tools and atomic saves do), deleted or made again. Qt-side helper of the framework layer.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>

class FileWatcher : public QObject {
    Q_OBJECT
public:
    // `changed` runs once per burst of changes, after the file kept still for a moment.
    FileWatcher(const QString& path, std::function<void()> changed, QObject* parent = nullptr);

private:
    void rearm();
    void settle();
    QString stamp() const;

    QString m_path;
    std::function<void()> m_changed;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_lastStamp;
};
