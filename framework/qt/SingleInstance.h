// One running copy per profile file: a second start hands over to the first (which comes to
// the front) and ends, so two copies never overwrite each other's topics.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `profilePath` names the file the copies would share.
    explicit SingleInstance(const QString& profilePath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a copy of the same user runs for the same file and answered; it has been asked
    // to come to the front.
    bool handOverToRunningCopy();
    // Listens for later starts and runs `activate` for each one. Where the socket's name is held
    // by anything else, this copy runs on without listening and says so in one line on stderr.
    void listen(std::function<void()> activate);

    // The socket's file name: a hash of the profile's canonical path, so every way of naming the
    // same file (symlinked folders included) meets at one socket.
    static QString keyFor(const QString& profilePath);
    // The socket's full path in a folder of the user's alone; empty where there is none.
    static QString socketPathFor(const QString& profilePath);

private:
    void lock();
    void unlock();
    void accept();

    QString m_path;
    int m_lockFd = -1;
    int m_listenFd = -1;
    unsigned long long m_socketInode = 0; // the socket file that is ours to remove at the end
    QSocketNotifier* m_notifier = nullptr;
    std::function<void()> m_activate;
};
