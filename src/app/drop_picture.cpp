#include "drop_picture.h"

#include "platform/file_names.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

DropPicture::DropPicture(QWidget* parent) : QLabel(parent) {
    setAcceptDrops(true);
}

void DropPicture::dragEnterEvent(QDragEnterEvent* event) {
    if (accepting_)
        event->acceptProposedAction();
    else
        event->ignore();
}

QStringList DropPicture::DroppedPaths(const QMimeData* data) {
    // Only local files count; anything else dragged here (text, web
    // addresses) makes a drop of no paths.
    QStringList paths;
#ifndef Q_OS_WIN
    // The file manager's own list keeps every byte of a name; Qt's reading
    // of it would change a name that is not valid UTF-8.
    const QByteArray list = data->data(QStringLiteral("text/uri-list"));
    if (!list.isEmpty()) {
        for (const QByteArray& line : list.split('\n')) {
            const QByteArray uri = line.trimmed();
            if (uri.startsWith('#') || !uri.startsWith("file://"))
                continue;
            QByteArray rest = uri.mid(7);
            // file:///path or file://localhost/path; other hosts are not local.
            if (!rest.startsWith('/')) {
                if (!rest.startsWith("localhost/"))
                    continue;
                rest = rest.mid(9);
            }
            paths.append(platform::FileNameText(QByteArray::fromPercentEncoding(rest)));
        }
        return paths;
    }
#endif
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    return paths;
}

void DropPicture::dropEvent(QDropEvent* event) {
    if (!accepting_) {
        event->ignore();
        return;
    }
    const QStringList paths = DroppedPaths(event->mimeData());
    event->acceptProposedAction();
    emit dropped(paths);
}

void DropPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        emit rightClicked(event->globalPosition().toPoint());
    QLabel::mouseReleaseEvent(event);
}
