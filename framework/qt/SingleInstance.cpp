#include "framework/qt/SingleInstance.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#if defined(__unix__)
#include <unistd.h>
#endif

namespace {
constexpr int kWaitMs = 1000;
}

SingleInstance::SingleInstance(const QString& profilePath, QObject* parent)
    : QObject(parent), m_key(keyFor(profilePath))
{
}

QString SingleInstance::keyFor(const QString& profilePath)
{
    const QString canonical = QFileInfo(profilePath).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
#if defined(__unix__)
    const QString user = QString::number(::getuid());
#else
    const QString user = qEnvironmentVariable("USERNAME");
#endif
    return QStringLiteral("ombrelclock-%1-%2").arg(user, QString::fromLatin1(hash));
}

bool SingleInstance::handOverToRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write("activate\n");
    socket.waitForBytesWritten(kWaitMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::listen(std::function<void()> activate)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_key)) {
        // A copy that crashed leaves its socket behind; nobody answered on it just now.
        QLocalServer::removeServer(m_key);
        m_server->listen(m_key);
    }
    connect(m_server, &QLocalServer::newConnection, this, [this, activate] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            activate();
        }
    });
}
