#include "handoff.h"

#include "log/log.h"
#include "pipeline/file_ops.h"
#include "platform/file_names.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace Handoff {

namespace {

const QByteArray Header = QByteArrayLiteral("BRUSHWICK2 PATHS\n");
// A message is a list of paths, not a file: anything longer is no hand-over.
constexpr qsizetype MaxMessage = 16 << 20;
constexpr int WaitMs = 5000;

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

} // namespace

QString SocketPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/brushwick2.socket");
}

QByteArray Encode(const QStringList& paths) {
    QByteArray message = Header;
    for (const QString& path : paths)
        message += platform::FileNameBytes(path) + '\0';
    return message;
}

bool SendPaths(const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(WaitMs))
        return false;
    socket.write(Encode(paths));
    if (!socket.waitForBytesWritten(WaitMs))
        return false;
    socket.disconnectFromServer();
    return socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(WaitMs);
}

Server::Server(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    // Only the player's own programs may hand over files.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection())
            Take(socket);
    });
}

bool Server::Listen() {
    // The single-copy lock is ours: a socket there is a killed copy's.
    QLocalServer::removeServer(SocketPath());
    return server_->listen(SocketPath());
}

void Server::Close() {
    server_->close();
}

void Server::Take(QLocalSocket* socket) {
    auto* message = new QByteArray;
    connect(socket, &QLocalSocket::readyRead, socket, [socket, message] {
        *message += socket->readAll();
        if (message->size() > MaxMessage)
            socket->abort();
    });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, message] {
        *message += socket->readAll();
        Read(*message);
        delete message;
        socket->deleteLater();
    });
}

void Server::Read(const QByteArray& message) {
    if (!message.startsWith(Header) || message.size() > MaxMessage) {
        WriteLog(QStringLiteral("HANDOFF: refused a message that is no list of paths"),
                 Level::Errors);
        return;
    }
    QStringList paths;
    const QList<QByteArray> parts = message.mid(Header.size()).split('\0');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        // The message ends in a zero byte: its last part is empty.
        if (i == parts.size() - 1 && parts.at(i).isEmpty())
            break;
        const QString path = platform::FileNameText(parts.at(i));
        if (!QDir::isAbsolutePath(path) ||
            FileOps::KindOfFile(path) == FileOps::FileKind::Missing) {
            WriteLog(QStringLiteral("HANDOFF: refused ") + path, Level::Errors);
            continue;
        }
        paths.append(path);
    }
    if (paths.isEmpty())
        return;
    WriteLog(QStringLiteral("HANDOFF: ") + QString::number(paths.size()), Level::Debug);
    emit pathsReceived(paths);
}

} // namespace Handoff
