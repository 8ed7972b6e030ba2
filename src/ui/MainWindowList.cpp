#include "MainWindow.h"
#include "QtText.h"
#include "RomListWidget.h"
#include "TextBoxes.h"
#include "UpDownControl.h"
#include "catalogue/AddRom.h"
#include "catalogue/Paths.h"
#include "settings/SettingsKeys.h"

#include <QListWidgetItem>

// The list editing commands: adding through the dialog and by drop, removing, moving and
// sorting. The model (m_roms) and the list control change together, item for item; the
// control's own selection signals are ignored while the program changes it.

namespace brimble {

void MainWindow::AddRomFiles() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::OpenMany;
    request.title = QStringLiteral("Add NES files...");
    request.filters = {{QStringLiteral("*.NES"), QStringLiteral("*.NES")},
                       {QStringLiteral("*.*"), QStringLiteral("*")}};
    request.initialDirectory = FromPath(ReadPathSetting(*m_store, SettingKey::LastDir));
    request.mustExist = true;
    const QStringList files = m_dialogs.AskFiles(this, request);
    if (files.isEmpty())
        return;
    m_addingBatch = true;
    std::optional<std::filesystem::path> batchDirectory;
    for (const QString& file : files) {
        const auto parts = SplitPath(ToPath(file));
        if (!parts)
            continue;
        if (!batchDirectory)
            batchDirectory = parts->first;
        AddRom(parts->first, parts->second);
    }
    m_addingBatch = false;
    if (batchDirectory)
        WritePathSetting(*m_store, SettingKey::LastDir, *batchDirectory);
    ShowTotalSize();
}

void MainWindow::AddDroppedFiles(const QStringList& paths) {
    // Each file is added from its own folder; the first file's folder becomes lastdir.
    m_addingBatch = true;
    std::optional<std::filesystem::path> firstDirectory;
    for (const QString& file : paths) {
        const auto parts = SplitPath(ToPath(file));
        if (!parts)
            continue;
        if (!firstDirectory)
            firstDirectory = parts->first;
        AddRom(parts->first, parts->second);
    }
    m_addingBatch = false;
    if (firstDirectory)
        WritePathSetting(*m_store, SettingKey::LastDir, *firstDirectory);
    ShowTotalSize();
}

void MainWindow::AddRom(const std::filesystem::path& directory, const std::filesystem::path& fileName) {
    std::optional<RomEntry> entry = brimble::AddRom(directory, fileName, m_names, m_database);
    if (!entry)
        return;
    const QString text = FromWindows1252(entry->title);
    const bool showIt = m_roms.Append(std::move(*entry));
    {
        const QSignalBlocker blocker(m_list);
        m_list->addItem(text);
    }
    ShowTotalSize();
    if (showIt) {
        SelectListRow(m_roms.Selection());
        ShowSelectedRom();
    }
}

void MainWindow::RemoveSelectedRom() {
    StoreTitleBeforeSelectionMoves();
    const std::optional<std::size_t> removed = m_roms.RemoveSelected();
    if (!removed)
        return;
    {
        const QSignalBlocker blocker(m_list);
        delete m_list->takeItem(static_cast<int>(*removed));
    }
    SelectListRow(m_roms.Selection());
    ShowSelectedRom();
    ShowTotalSize();
}

void MainWindow::MoveSelectedRom(int delta) {
    // The arrows take the focus after a move, so that the arrow keys go on moving the entry.
    if (MoveSelectedEntry(delta))
        m_upDown->setFocus(Qt::OtherFocusReason);
}

bool MainWindow::MoveSelectedEntry(int delta) {
    StoreTitleBeforeSelectionMoves();
    const int from = m_roms.Selection();
    if (!m_roms.MoveSelected(delta))
        return false;
    const int to = m_roms.Selection();
    QListWidgetItem* moved = m_list->item(from);
    QListWidgetItem* neighbour = m_list->item(to);
    const QString text = moved->text();
    moved->setText(neighbour->text());
    neighbour->setText(text);
    SelectListRow(to);
    return true;
}

void MainWindow::SortRomsByTitle() {
    if (m_roms.Empty())
        return;
    StoreTitleBeforeSelectionMoves();
    CommitSelectedRom();
    m_roms.SortByTitle();
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        QStringList texts;
        texts.reserve(static_cast<qsizetype>(m_roms.Count()));
        for (const RomEntry& entry : m_roms.Entries())
            texts.append(FromWindows1252(entry.title));
        m_list->addItems(texts);
    }
    SelectListRow(m_roms.Selection());
    ShowSelectedRom();
}

void MainWindow::SelectListRow(int row) {
    const QSignalBlocker blocker(m_list);
    if (row < 0) {
        m_list->clearSelection();
        m_list->setCurrentRow(-1);
        return;
    }
    m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    m_list->scrollToItem(m_list->item(row));
}

void MainWindow::StoreTitleBeforeSelectionMoves() {
    // A click elsewhere takes the focus from the title box before anything moves; commands
    // that leave the focus where it is must store the title themselves.
    if (m_title->hasFocus())
        StoreEditedTitle();
}

} // namespace brimble
