#include "MainWindow.h"
#include "RomListWidget.h"

#include <QKeySequence>
#include <QListWidgetItem>
#include <QMenu>
#include <QShortcut>
#include <algorithm>

// The keys of the window's commands. Every command has a button or a menu item for the
// mouse; these keys reach the same handlers, so that the window can be worked without one.

namespace brimble {

void MainWindow::ConnectKeys() {
    // Keys of the list act only while the list has the focus: elsewhere Delete, Insert and
    // Ctrl+arrows keep their meaning in the edit boxes.
    const auto listKey = [this](const QKeySequence& keys, auto handler) {
        auto* shortcut = new QShortcut(keys, m_list);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    listKey(QKeySequence(Qt::Key_Delete), [this] { m_presenter.OnRemove(); });
    listKey(QKeySequence(Qt::Key_Insert), [this] { m_presenter.OnAdd(); });
    // Unlike the arrow buttons, the keys leave the focus in the list, where they were pressed;
    // plain Up and Down stay the list's own and move the selection.
    listKey(QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { m_presenter.OnMove(-1); });
    listKey(QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { m_presenter.OnMove(+1); });

    // The context-menu key and Shift+F10 open the list's menu below the selected item, where a
    // keyboard user is looking, or at the top of an empty list.
    const auto openMenu = [this] {
        const QRect view = m_list->viewport()->rect();
        QPoint at = view.topLeft();
        if (QListWidgetItem* item = m_list->currentItem())
            at = m_list->visualItemRect(item).bottomLeft();
        at.setY(std::clamp(at.y(), view.top(), view.bottom()));
        m_menu->popup(m_list->viewport()->mapToGlobal(at));
    };
    listKey(QKeySequence(Qt::Key_Menu), openMenu);
    listKey(QKeySequence(Qt::SHIFT | Qt::Key_F10), openMenu);

    // Adding is wanted from wherever the user happens to be in the window.
    auto* add = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
    add->setContext(Qt::WindowShortcut);
    connect(add, &QShortcut::activated, this, [this] { m_presenter.OnAdd(); });
}

} // namespace brimble
