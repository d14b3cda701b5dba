#pragma once

#include <QLabel>
#include <QStringList>

class QMimeData;

// Rid Ivid: the picture that takes dropped files and folders from the
// desktop's file manager, and opens the menu on a right click.
class DropPicture : public QLabel {
    Q_OBJECT
public:
    explicit DropPicture(QWidget* parent = nullptr);

    // While a run goes on no drop is taken.
    void setAcceptingDrops(bool accepting) { accepting_ = accepting; }

    // The local paths a drop carries, byte for byte as the file manager sent them.
    static QStringList DroppedPaths(const QMimeData* data);

signals:
    void dropped(const QStringList& paths);
    void rightClicked(const QPoint& globalPos);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool accepting_ = true;
};
