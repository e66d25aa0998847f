// One running copy per profile file: a second start hands over to the first (which comes to
// the front) and ends, so two copies never overwrite each other's topics.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `profilePath` names the file the copies would share.
    explicit SingleInstance(const QString& profilePath, QObject* parent = nullptr);

    // True when another copy runs for the same file; it has been asked to come to the front.
    bool handOverToRunningCopy();
    // Listens for later starts and runs `activate` for each one.
    void listen(std::function<void()> activate);

    static QString keyFor(const QString& profilePath);

private:
    QString m_key;
    QLocalServer* m_server = nullptr;
};
