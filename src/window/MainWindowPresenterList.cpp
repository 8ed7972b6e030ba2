#include "MainWindowPresenter.h"
#include "WindowTexts.h"
#include "catalogue/AddRom.h"
#include "catalogue/Paths.h"
#include "catalogue/RomSource.h"
#include "catalogue/Windows1252.h"
#include "settings/SettingsKeys.h"

// The list editing commands: adding through the dialog and by drop, removing, moving and
// sorting. The model (m_roms) and the view's list change together, item for item.

namespace brimble {

void MainWindowPresenter::OnAdd() {
    FileDialogRequest request = FileDialogFor(FileDialogUse::AddRoms);
    request.initialDirectory = ReadPathSetting(*m_store, SettingKey::LastDir);
    AddRomFiles(AskFiles(std::move(request)));
}

void MainWindowPresenter::OnDrop(const std::vector<std::filesystem::path>& paths) {
    AddRomFiles(paths);
}

void MainWindowPresenter::AddRomFiles(const std::vector<std::filesystem::path>& files) {
    // Each file is added from its own folder, an archive as each of its iNES members in its
    // order; the first file's folder becomes lastdir, also when no file could be added. The
    // total is shown once, at the end.
    m_addingBatch = true;
    std::optional<std::filesystem::path> batchDirectory;
    std::vector<PassedOver> notAdded;
    for (const std::filesystem::path& file : files) {
        const auto parts = SplitPath(file);
        if (!parts)
            continue;
        if (!batchDirectory)
            batchDirectory = parts->first;
        for (const FoundRom& found : FindRoms(file)) {
            const auto member = SplitPath(found.path);
            if (found.inspection.status == RomInspectionStatus::Accepted && member)
                AppendRom(MakeRomEntry(member->first, member->second, found.inspection, m_names, m_database));
            else
                notAdded.push_back({found.path, DescribeRomInspection(found.inspection)});
        }
    }
    m_addingBatch = false;
    if (batchDirectory)
        WritePathSetting(*m_store, SettingKey::LastDir, *batchDirectory);
    ShowTotalSize();
    // One message for the whole add or drop, once the list shows what was added.
    if (!notAdded.empty())
        ShowMessage(NotAddedMessage(notAdded));
}

void MainWindowPresenter::AppendRom(RomEntry entry) {
    const std::string text = Windows1252ToUtf8(entry.title);
    const bool showIt = m_roms.Append(std::move(entry));
    UpdateView([&] { m_view.AppendListItem(text); });
    ShowTotalSize();
    if (showIt) {
        SelectListRow(m_roms.Selection());
        ShowSelectedRom();
    }
}

void MainWindowPresenter::OnRemove() {
    // The typed title goes with its entry; the panel's options are dropped with it.
    StorePendingTitle();
    const std::optional<std::size_t> removed = m_roms.RemoveSelected();
    if (!removed)
        return;
    UpdateView([&] { m_view.RemoveListItem(static_cast<int>(*removed)); });
    SelectListRow(m_roms.Selection());
    ShowSelectedRom();
    ShowTotalSize();
}

bool MainWindowPresenter::OnMove(int delta) {
    // The panel goes on editing the same entry: it is neither committed nor shown again.
    StorePendingTitle();
    const int from = m_roms.Selection();
    if (!m_roms.MoveSelected(delta))
        return false;
    const int to = m_roms.Selection();
    UpdateView([&] {
        m_view.SetListItemText(from, Windows1252ToUtf8(m_roms.At(static_cast<std::size_t>(from)).title));
        m_view.SetListItemText(to, Windows1252ToUtf8(m_roms.At(static_cast<std::size_t>(to)).title));
    });
    SelectListRow(to);
    return true;
}

void MainWindowPresenter::OnSort() {
    if (m_roms.Empty())
        return;
    StorePendingTitle();
    CommitSelectedRom();
    m_roms.SortByTitle();
    std::vector<std::string> texts;
    texts.reserve(m_roms.Count());
    for (const RomEntry& entry : m_roms.Entries())
        texts.push_back(Windows1252ToUtf8(entry.title));
    UpdateView([&] { m_view.SetListItems(texts); });
    SelectListRow(m_roms.Selection());
    ShowSelectedRom();
}

void MainWindowPresenter::SelectListRow(int row) {
    UpdateView([&] { m_view.SelectListRow(row); });
}

} // namespace brimble
