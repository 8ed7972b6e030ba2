#pragma once

#include <QListWidget>
#include <QStringList>

namespace brimble {

// The compilation list: single selection, never sorted by itself, and the only control of
// the window that takes files dropped from a file manager.
class RomListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit RomListWidget(QWidget* parent);

    // The local files among dropped data, in the drop's order.
    static QStringList DroppedFiles(const QMimeData* data);

signals:
    void FilesDropped(const QStringList& paths);
    void DoubleClicked();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace brimble
