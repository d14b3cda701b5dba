#pragma once

#include <QLabel>
#include <QStringList>

class QMimeData;

// Rid Ivid: the picture that takes dropped files and folders from the
// desktop's file manager (lit up while files are dragged over it), and
// opens the menu on a right click.
class DropPicture : public QLabel {
    Q_OBJECT
public:
    explicit DropPicture(QWidget* parent = nullptr);

    // The local paths a drop carries, byte for byte as the file manager sent them.
    static QStringList DroppedPaths(const QMimeData* data);

    bool Highlighted() const { return highlighted_; }

signals:
    void dropped(const QStringList& paths);
    void rightClicked(const QPoint& globalPos);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetHighlighted(bool on);

    bool highlighted_ = false;
};
