#include "drop_picture.h"

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

void DropPicture::dropEvent(QDropEvent* event) {
    if (!accepting_) {
        event->ignore();
        return;
    }
    // Only local files count; anything else dragged here (text, web
    // addresses) makes a drop of no paths.
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    event->acceptProposedAction();
    emit dropped(paths);
}

void DropPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        emit rightClicked(event->globalPosition().toPoint());
    QLabel::mouseReleaseEvent(event);
}
