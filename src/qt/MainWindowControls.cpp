#include "MainWindow.h"
#include "QtText.h"
#include "RomListWidget.h"
#include "TextBoxes.h"
#include "window/BuildMessages.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPalette>
#include <QProgressDialog>
#include <QRadioButton>

// The view operations through which the presenter reads and sets the window's controls. The
// list's own selection signals are blocked while the program changes it.

namespace brimble {

std::string MainWindow::Text(ControlId id) const {
    QWidget* widget = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return ToUtf8(edit->text());
    if (auto* label = qobject_cast<QLabel*>(widget))
        return ToUtf8(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return ToUtf8(button->text());
    return {};
}

void MainWindow::SetText(ControlId id, const std::string& text) {
    QWidget* widget = Control(id);
    const QString shown = FromUtf8(text);
    if (auto* ruled = qobject_cast<RuleLineEdit*>(widget))
        ruled->SetShownText(shown);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(shown);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(shown);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(shown);
}

bool MainWindow::Checked(ControlId id) const {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button != nullptr && button->isChecked();
}

void MainWindow::SetChecked(ControlId id, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    if (button == nullptr)
        return;
    // Exclusive radio buttons cannot be unchecked one by one; the blank panel needs both off.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

void MainWindow::SetEnabled(ControlId id, bool enabled) {
    Control(id)->setEnabled(enabled);
}

void MainWindow::SetReadOnly(ControlId id, bool readOnly) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id)))
        edit->setReadOnly(readOnly);
}

void MainWindow::SetListItems(const std::vector<std::string>& texts) {
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    QStringList items;
    items.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts)
        items.append(FromUtf8(text));
    m_list->addItems(items);
}

void MainWindow::AppendListItem(const std::string& text) {
    const QSignalBlocker blocker(m_list);
    m_list->addItem(FromUtf8(text));
}

void MainWindow::RemoveListItem(int row) {
    const QSignalBlocker blocker(m_list);
    delete m_list->takeItem(row);
}

void MainWindow::SetListItemText(int row, const std::string& text) {
    if (QListWidgetItem* item = m_list->item(row))
        item->setText(FromUtf8(text));
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

void MainWindow::ShowPanel(bool shown) {
    for (const ControlTemplate& control : kWindowTemplate) {
        if (IsPanelControl(control))
            Control(control.id)->setVisible(shown);
    }
    ApplyLayout(shown);
}

void MainWindow::ShowTotalWarning(bool warn, const std::string& toolTip) {
    QPalette palette; // empty: the window's own colours
    if (warn)
        palette.setColor(QPalette::WindowText, QColor(0xC0, 0x10, 0x10));
    for (QLabel* label : {m_total, m_totalCaption}) {
        label->setToolTip(FromUtf8(toolTip));
        label->setPalette(palette);
    }
}

FileDialogAnswer MainWindow::AskFiles(const FileDialogRequest& request) {
    return m_dialogs.RunFileDialog(this, request);
}

void MainWindow::ShowMessage(const MessageRequest& request) {
    m_dialogs.ShowMessage(this, request);
}

bool MainWindow::AskYesNo(const MessageRequest& request) {
    return m_dialogs.AskYesNo(this, request);
}

void MainWindow::ShowBuildProgress(const BuildProgressStep& step) {
    // Made at the first step rather than before the writing starts: the splash warning may
    // wait for the user before it, and that wait is no reason to show progress. Shown only
    // when the build lasts longer than half a second; each step lets the window paint, but
    // takes no input.
    if (!m_progress) {
        m_progress = std::make_unique<QProgressDialog>(this);
        m_progress->setWindowTitle(FromUtf8(kProgramCaption));
        m_progress->setWindowModality(Qt::WindowModal);
        // A build either completes or fails; it cannot be stopped half way.
        m_progress->setCancelButton(nullptr);
        m_progress->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(500);
        m_progress->setRange(0, static_cast<int>(step.count));
        m_progress->setValue(0);
    }
    if (step.position < step.count)
        m_progress->setLabelText(QStringLiteral("Writing %1...").arg(FromUtf8(step.romName)));
    m_progress->setValue(static_cast<int>(step.position));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::EndBuildProgress() {
    m_progress.reset();
}

void MainWindow::EndWindow() {
    // Once the running handler has returned; done() leaves closeEvent out, so the closing
    // settings, already stored, are not stored again.
    QMetaObject::invokeMethod(
        this, [this] { done(QDialog::Accepted); }, Qt::QueuedConnection);
}

} // namespace brimble
