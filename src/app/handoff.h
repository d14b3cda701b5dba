#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// A second start with files (the desktop's "Open with") hands them to the
// copy that is running, over a local socket private to the player beside
// the single-copy lock, and ends quietly.
namespace Handoff {

// The socket's path in the player's runtime folder.
QString SocketPath();

// Sends the paths to the running copy; false when none took them.
bool SendPaths(const QStringList& paths);

// The running copy's end: takes the absolute paths of files and folders
// that exist; anything else that arrives is refused and logged.
class Server : public QObject {
    Q_OBJECT
public:
    explicit Server(QObject* parent = nullptr);
    // Listens on SocketPath(), replacing a socket a killed copy left.
    bool Listen();
    // Stops listening: later starts find no copy to hand over to.
    void Close();

signals:
    void pathsReceived(const QStringList& paths);

private:
    void Take(QLocalSocket* socket);
    void Read(const QByteArray& message);

    QLocalServer* server_;
};

// What goes over the socket: a fixed first line, then each path's bytes
// closed by a zero byte.
QByteArray Encode(const QStringList& paths);

} // namespace Handoff
