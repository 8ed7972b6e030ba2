#include "MainWindow.h"
#include "QtText.h"
#include "RomListWidget.h"
#include "TextBoxes.h"
#include "settings/SettingsKeys.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidgetItem>
#include <QPalette>
#include <QRadioButton>

// The details panel of the selected ROM and the total label.

namespace brimble {

void MainWindow::ShowSelectedRom() {
    const RomEntry* entry = m_roms.Selected();
    QWidget* const editable[] = {m_title,     m_followValue,  m_ppuSpeedHack, m_noCpuSpeedHack,
                                 m_palTiming, m_followSprite, m_followMemory};
    if (entry == nullptr) {
        m_title->SetShownText(QString());
        m_fileName->clear();
        m_romSize->clear();
        m_followValue->SetShownText(QString());
        for (QWidget* control : editable)
            control->setEnabled(false);
        m_ppuSpeedHack->setChecked(false);
        m_noCpuSpeedHack->setChecked(false);
        m_palTiming->setChecked(false);
        SetRadio(m_followSprite, false);
        SetRadio(m_followMemory, false);
        return;
    }
    m_title->SetShownText(FromWindows1252(entry->title));
    m_fileName->setText(FromPath(entry->fileName));
    m_romSize->setText(QString::fromStdString(FormatKib(entry->size)));
    m_followValue->SetShownText(QString::number(entry->follow));
    for (QWidget* control : editable)
        control->setEnabled(true);
    const OptionControls shown = ShowFlags(entry->flags);
    m_ppuSpeedHack->setChecked(shown.ppuSpeedHack);
    m_noCpuSpeedHack->setChecked(shown.noCpuSpeedHack);
    m_palTiming->setChecked(shown.palTiming);
    SetRadio(m_followSprite, !shown.followMemory);
    SetRadio(m_followMemory, shown.followMemory);
}

void MainWindow::SetRadio(QRadioButton* button, bool checked) {
    // Exclusive radio buttons cannot be unchecked one by one; the blank panel needs both off.
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(true);
}

void MainWindow::CommitSelectedRom() {
    RomEntry* entry = m_roms.Selected();
    if (entry == nullptr)
        return;
    const OptionControls controls{
        .ppuSpeedHack = m_ppuSpeedHack->isChecked(),
        .noCpuSpeedHack = m_noCpuSpeedHack->isChecked(),
        .palTiming = m_palTiming->isChecked(),
        .followMemory = m_followMemory->isChecked(),
    };
    CommitDetails(*entry, controls, m_followValue->text().toStdString());
    StoreGameRecord(m_database, *entry);
}

void MainWindow::SelectionChanged() {
    // A selection made through the accessibility interface may clear the list before it
    // selects the new row, or select it beside the old one: the row that is not the one
    // shown wins.
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    int row = -1;
    for (QListWidgetItem* item : selected) {
        const int candidate = m_list->row(item);
        if (row < 0 || candidate != m_roms.Selection())
            row = candidate;
    }
    if (row < 0 && !m_roms.Empty()) {
        // A single-selection list keeps its selection while it has items.
        SelectListRow(m_roms.Selection());
        return;
    }
    if (selected.size() > 1)
        SelectListRow(row);
    if (row == m_roms.Selection())
        return;
    // The title being typed belongs to the entry it was typed for, whatever moved the selection.
    StoreTitleBeforeSelectionMoves();
    CommitSelectedRom();
    m_roms.Select(row);
    ShowSelectedRom();
}

void MainWindow::StoreEditedTitle() {
    RomEntry* entry = m_roms.Selected();
    if (entry == nullptr)
        return;
    entry->title = ClampTitle(ToWindows1252(m_title->text()));
    if (QListWidgetItem* item = m_list->item(m_roms.Selection()))
        item->setText(FromWindows1252(entry->title));
    StoreGameRecord(m_database, *entry);
}

void MainWindow::ShowTotalSize() {
    // Within a batch of adds nothing is painted; the batch shows the total once at its end
    // instead of looking for the emulator image once per ROM.
    if (m_addingBatch)
        return;
    const std::uint64_t shown = TotalWithSplash(m_roms.Total(), m_splash->isChecked());
    m_total->setText(QString::fromStdString(FormatKib(shown)));
    // The emulator image counts towards the cartridge's limit when it can be found; its
    // setting and the file itself may change while the window is open.
    const std::optional<std::uint64_t> emulator = EmulatorImageSize(ReadPathSetting(*m_store, SettingKey::Vantaro));
    const std::uint64_t image = EstimatedImageSize(shown, emulator);
    const bool warn = ExceedsCartridge(image);
    if (warn == m_totalWarns && !warn)
        return;
    QString tip;
    if (warn) {
        tip = QStringLiteral("The image would take %1, more than the 32768k of the largest GBA cartridge.")
                  .arg(QString::fromStdString(FormatKib(image)));
    }
    for (QLabel* label : {m_total, m_totalCaption}) {
        label->setToolTip(tip);
        if (warn != m_totalWarns) {
            QPalette palette; // empty: the window's own colours
            if (warn)
                palette.setColor(QPalette::WindowText, QColor(0xC0, 0x10, 0x10));
            label->setPalette(palette);
        }
    }
    m_totalWarns = warn;
}

} // namespace brimble
