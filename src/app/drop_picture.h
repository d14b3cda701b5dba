#pragma once

#include <QLabel>
#include <QStringList>

// Rid Ivid: the picture that takes dropped files and folders from the
// desktop's file manager, and opens the menu on a right click.
class DropPicture : public QLabel {
    Q_OBJECT
public:
    explicit DropPicture(QWidget* parent = nullptr);

    // While a run goes on no drop is taken.
    void setAcceptingDrops(bool accepting) { accepting_ = accepting; }

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
