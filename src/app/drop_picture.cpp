#include "drop_picture.h"

#include "platform/file_names.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

DropPicture::DropPicture(QWidget* parent) : QLabel(parent) {
    setAcceptDrops(true);
}

void DropPicture::dragEnterEvent(QDragEnterEvent* event) {
    // A drop during a run waits for its turn; files are always welcome.
    event->acceptProposedAction();
    SetHighlighted(event->mimeData()->hasUrls());
}

void DropPicture::dragLeaveEvent(QDragLeaveEvent* event) {
    SetHighlighted(false);
    QLabel::dragLeaveEvent(event);
}

void DropPicture::SetHighlighted(bool on) {
    if (highlighted_ == on)
        return;
    highlighted_ = on;
    update();
}

void DropPicture::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!highlighted_)
        return;
    QPainter painter(this);
    QColor wash = palette().color(QPalette::Highlight);
    wash.setAlpha(60);
    painter.fillRect(contentsRect(), wash);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    painter.drawRect(contentsRect().adjusted(1, 1, -2, -2));
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
    SetHighlighted(false);
    const QStringList paths = DroppedPaths(event->mimeData());
    event->acceptProposedAction();
    emit dropped(paths);
}

void DropPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        emit rightClicked(event->globalPosition().toPoint());
    QLabel::mouseReleaseEvent(event);
}
