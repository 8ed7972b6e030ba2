#include "MainWindowPresenter.h"
#include "PanelRules.h"
#include "WindowTexts.h"
#include "catalogue/Paths.h"
#include "catalogue/Windows1252.h"
#include "settings/SettingsKeys.h"

// The details panel of the selected ROM, the moments it is committed, and the total label.

namespace brimble {
namespace {

constexpr ControlId kEditableControls[] = {ControlId::Title,          ControlId::FollowValue, ControlId::PpuSpeedHack,
                                           ControlId::NoCpuSpeedHack, ControlId::PalTiming,   ControlId::FollowSprite,
                                           ControlId::FollowMemory};

} // namespace

void MainWindowPresenter::ShowSelectedRom() {
    // Showing stores nothing: the box's own notifications (a text change, the focus leaving a
    // box that is disabled) are not the user's.
    UpdateView([&] {
        m_titlePending = false;
        const RomEntry* entry = m_roms.Selected();
        if (entry == nullptr) {
            m_view.SetText(ControlId::Title, {});
            m_view.SetText(ControlId::FileName, {});
            m_view.SetText(ControlId::RomSize, {});
            m_view.SetText(ControlId::FollowValue, {});
            for (ControlId id : kEditableControls)
                m_view.SetEnabled(id, false);
            for (ControlId id : {ControlId::PpuSpeedHack, ControlId::NoCpuSpeedHack, ControlId::PalTiming,
                                 ControlId::FollowSprite, ControlId::FollowMemory})
                m_view.SetChecked(id, false);
            return;
        }
        m_view.SetText(ControlId::Title, Windows1252ToUtf8(entry->title));
        m_view.SetText(ControlId::FileName, FileNameLabel(entry->FullPath(), entry->fileName));
        m_view.SetText(ControlId::RomSize, FormatKib(entry->size));
        m_view.SetText(ControlId::FollowValue, std::to_string(entry->follow));
        for (ControlId id : kEditableControls)
            m_view.SetEnabled(id, true);
        const OptionControls shown = ShowFlags(entry->flags);
        m_view.SetChecked(ControlId::PpuSpeedHack, shown.ppuSpeedHack);
        m_view.SetChecked(ControlId::NoCpuSpeedHack, shown.noCpuSpeedHack);
        m_view.SetChecked(ControlId::PalTiming, shown.palTiming);
        m_view.SetChecked(ControlId::FollowSprite, !shown.followMemory);
        m_view.SetChecked(ControlId::FollowMemory, shown.followMemory);
    });
}

void MainWindowPresenter::CommitSelectedRom() {
    RomEntry* entry = m_roms.Selected();
    if (entry == nullptr)
        return;
    const OptionControls controls{
        .ppuSpeedHack = m_view.Checked(ControlId::PpuSpeedHack),
        .noCpuSpeedHack = m_view.Checked(ControlId::NoCpuSpeedHack),
        .palTiming = m_view.Checked(ControlId::PalTiming),
        .followMemory = m_view.Checked(ControlId::FollowMemory),
    };
    CommitDetails(*entry, controls, m_view.Text(ControlId::FollowValue));
    StoreGameRecord(m_database, *entry);
}

void MainWindowPresenter::OnSelectionChanged(int row) {
    if (m_updatingView)
        return;
    if (row < 0 || row >= static_cast<int>(m_roms.Count())) {
        // A single-selection list keeps its selection while it has items.
        if (!m_roms.Empty())
            SelectListRow(m_roms.Selection());
        return;
    }
    if (row == m_roms.Selection())
        return;
    // The title being typed belongs to the entry it was typed for, whatever moved the selection.
    StorePendingTitle();
    CommitSelectedRom();
    m_roms.Select(row);
    ShowSelectedRom();
}

void MainWindowPresenter::OnTitleEdited() {
    if (!m_updatingView)
        m_titlePending = true;
}

void MainWindowPresenter::OnTitleFocusLost() {
    if (!m_updatingView)
        StoreEditedTitle();
}

void MainWindowPresenter::StorePendingTitle() {
    if (m_titlePending)
        StoreEditedTitle();
}

void MainWindowPresenter::StoreEditedTitle() {
    m_titlePending = false;
    RomEntry* entry = m_roms.Selected();
    if (entry == nullptr)
        return;
    // Characters without a Windows-1252 form become '?'.
    entry->title = ClampTitle(Utf8ToWindows1252(m_view.Text(ControlId::Title)));
    UpdateView([&] { m_view.SetListItemText(m_roms.Selection(), Windows1252ToUtf8(entry->title)); });
    StoreGameRecord(m_database, *entry);
}

void MainWindowPresenter::ShowTotalSize() {
    // Within a batch of adds the total is shown once at its end instead of looking for the
    // emulator image once per ROM.
    if (m_addingBatch)
        return;
    const bool splash = m_view.Checked(ControlId::Splash);
    m_view.SetText(ControlId::Total, FormatKib(TotalWithSplash(m_roms.Total(), splash)));
    // The emulator image counts towards the cartridge's limit when it can be found; its
    // setting and the file itself may change while the window is open.
    const std::uint64_t image =
        PlannedImageSize(m_roms.Total(), splash, ReadPathSetting(*m_store, SettingKey::Vantaro));
    const bool warn = ExceedsCartridge(image);
    if (warn == m_totalWarns && !warn)
        return;
    m_view.ShowTotalWarning(warn, warn ? TotalWarningToolTip(image) : std::string());
    m_totalWarns = warn;
}

} // namespace brimble
