#pragma once

#include "DialogProvider.h"
#include "WindowLayout.h"
#include "catalogue/GameTables.h"
#include "window/MainWindowPresenter.h"
#include "window/MainWindowView.h"
#include "window/SplashPreviewService.h"

#include <QDialog>
#include <QStringList>
#include <map>
#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace brimble {

class FollowBox;
class RomListWidget;
class SplashToolTipFilter;
class TitleBox;
class UpDownControl;

// The tool's one window on Qt: the controls of the template laid out in dialog units, icons,
// drag and drop, keys, accessibility names and the splash preview. Every event goes to the
// presenter, which runs the window's behaviour through this face's view operations. The
// start-up sequence runs in the constructor, before the window is first shown.
class MainWindow : public QDialog, private MainWindowView {
    Q_OBJECT
public:
    MainWindow(NameTable& names, GameDatabase& database, DialogProvider& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The control of the template with this identifier.
    QWidget* Control(ControlId id) const;
    QToolButton* MenuButton() const { return m_menuButton; }
    QMenu* CommandMenu() const { return m_menu; }
    QAction* LocateEmulatorAction() const { return m_locateEmulator; }
    QAction* LocateGoodNesAction() const { return m_locateGoodNes; }
    QAction* LocateQuorrelAction() const { return m_locateQuorrel; }

    const MainWindowPresenter& Presenter() const { return m_presenter; }
    DialogUnits Units() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void CreateControls();
    void ConnectEvents();
    void ConnectKeys();
    void ApplyLayout(bool panelShown);
    void ListSelectionChanged();

    // MainWindowView.
    std::string Text(ControlId id) const override;
    void SetText(ControlId id, const std::string& text) override;
    bool Checked(ControlId id) const override;
    void SetChecked(ControlId id, bool checked) override;
    void SetEnabled(ControlId id, bool enabled) override;
    void SetReadOnly(ControlId id, bool readOnly) override;
    void SetListItems(const std::vector<std::string>& texts) override;
    void AppendListItem(const std::string& text) override;
    void RemoveListItem(int row) override;
    void SetListItemText(int row, const std::string& text) override;
    void SelectListRow(int row) override;
    void ShowPanel(bool shown) override;
    void ShowTotalWarning(bool warn, const std::string& toolTip) override;
    FileDialogAnswer AskFiles(const FileDialogRequest& request) override;
    void ShowMessage(const MessageRequest& request) override;
    bool AskYesNo(const MessageRequest& request) override;
    void ShowBuildProgress(const BuildProgressStep& step) override;
    void EndBuildProgress() override;
    void EndWindow() override;

    DialogProvider& m_dialogs;
    MainWindowPresenter m_presenter;

    // Controls, in tab order.
    RomListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_sort = nullptr;
    UpDownControl* m_upDown = nullptr;
    QPushButton* m_build = nullptr;
    QLineEdit* m_outputPath = nullptr;
    QPushButton* m_chooseOutput = nullptr;
    QCheckBox* m_restoreList = nullptr;
    QPushButton* m_togglePanel = nullptr;
    TitleBox* m_title = nullptr;
    QCheckBox* m_ppuSpeedHack = nullptr;
    QCheckBox* m_noCpuSpeedHack = nullptr;
    QCheckBox* m_palTiming = nullptr;
    QRadioButton* m_followSprite = nullptr;
    QRadioButton* m_followMemory = nullptr;
    FollowBox* m_followValue = nullptr;
    QCheckBox* m_autonumber = nullptr;
    QCheckBox* m_splash = nullptr;
    QCheckBox* m_flag190k = nullptr;
    QLineEdit* m_splashPath = nullptr;
    QPushButton* m_chooseSplash = nullptr;
    QLabel* m_fileName = nullptr;
    QLabel* m_romSize = nullptr;
    QLabel* m_totalCaption = nullptr;
    QLabel* m_total = nullptr;
    QGroupBox* m_detailsFrame = nullptr;
    std::map<ControlId, QWidget*> m_controls;

    QToolButton* m_menuButton = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_locateEmulator = nullptr;
    QAction* m_locateGoodNes = nullptr;
    QAction* m_locateQuorrel = nullptr;

    std::unique_ptr<QProgressDialog> m_progress;
    bool m_closing = false; // the close box's handling is running

    // The splash box's tooltip: "preparing…" until the preview, made on the service's thread,
    // comes back to this one as a queued call.
    QString SplashTip();
    SplashToolTipFilter* m_splashTip = nullptr;
    // Last, so that it ends first: its thread may still queue a call to this window.
    SplashPreviewService m_splashPreviews{[this] {
        QMetaObject::invokeMethod(
            this, [this] { SplashPreviewReady(); }, Qt::QueuedConnection);
    }};
    void SplashPreviewReady();
};

} // namespace brimble
