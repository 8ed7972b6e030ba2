#include "MainWindow.h"

#include "Icons.h"
#include "QtText.h"
#include "RomListWidget.h"
#include "SplashToolTip.h"
#include "TextBoxes.h"
#include "UpDownControl.h"
#include "window/BuildMessages.h"
#include "window/WindowTexts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace brimble {
namespace {

QString Caption(ControlId id) {
    return FromUtf8(TemplateOf(id).caption);
}

QString Name(ControlId id) {
    return FromUtf8(TemplateOf(id).name);
}

QPushButton* IconButton(IconKind icon, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setIcon(AppIcon(icon));
    return button;
}

} // namespace

MainWindow::MainWindow(NameTable& names, GameDatabase& database, DialogProvider& dialogs, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_presenter(*this, names, database) {
    CreateControls();
    setWindowTitle(FromUtf8(kProgramCaption));
    // A caption with the system menu and the close box; no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(AppIcon(IconKind::Application));
    setSizeGripEnabled(false);
    m_presenter.Start();
    ConnectEvents();
    ConnectKeys();
    m_list->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() {
    // A window closed while shown moves the focus as it goes; the controls' signals must not
    // reach a presenter that is going.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

QWidget* MainWindow::Control(ControlId id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

DialogUnits MainWindow::Units() const {
    return DialogUnits(font());
}

void MainWindow::CreateControls() {
    // The frame first, so that the controls inside it lie above it.
    m_detailsFrame = new QGroupBox(this);
    m_list = new RomListWidget(this);
    m_add = IconButton(IconKind::Add, this);
    m_remove = IconButton(IconKind::Remove, this);
    m_sort = new QPushButton(this);
    m_upDown = new UpDownControl(this);
    m_build = IconButton(IconKind::Build, this);
    m_outputPath = new QLineEdit(this);
    m_chooseOutput = new QPushButton(this);
    m_restoreList = new QCheckBox(this);
    m_togglePanel = new QPushButton(this);
    m_title = new TitleBox(this);
    m_ppuSpeedHack = new QCheckBox(this);
    m_noCpuSpeedHack = new QCheckBox(this);
    m_palTiming = new QCheckBox(this);
    m_followSprite = new QRadioButton(this);
    m_followMemory = new QRadioButton(this);
    m_followValue = new FollowBox(this);
    m_autonumber = new QCheckBox(this);
    m_splash = new QCheckBox(this);
    m_flag190k = new QCheckBox(this);
    m_splashPath = new QLineEdit(this);
    m_chooseSplash = new QPushButton(this);
    m_fileName = new QLabel(this);
    m_romSize = new QLabel(this);
    m_totalCaption = new QLabel(this);
    m_total = new QLabel(this);

    m_controls = {
        {ControlId::List, m_list},
        {ControlId::Add, m_add},
        {ControlId::Remove, m_remove},
        {ControlId::Sort, m_sort},
        {ControlId::UpDown, m_upDown},
        {ControlId::Build, m_build},
        {ControlId::OutputPath, m_outputPath},
        {ControlId::ChooseOutput, m_chooseOutput},
        {ControlId::RestoreList, m_restoreList},
        {ControlId::TogglePanel, m_togglePanel},
        {ControlId::Title, m_title},
        {ControlId::PpuSpeedHack, m_ppuSpeedHack},
        {ControlId::NoCpuSpeedHack, m_noCpuSpeedHack},
        {ControlId::PalTiming, m_palTiming},
        {ControlId::FollowSprite, m_followSprite},
        {ControlId::FollowMemory, m_followMemory},
        {ControlId::FollowValue, m_followValue},
        {ControlId::Autonumber, m_autonumber},
        {ControlId::Splash, m_splash},
        {ControlId::Flag190k, m_flag190k},
        {ControlId::SplashPath, m_splashPath},
        {ControlId::ChooseSplash, m_chooseSplash},
        {ControlId::FileName, m_fileName},
        {ControlId::RomSize, m_romSize},
        {ControlId::TotalCaption, m_totalCaption},
        {ControlId::Total, m_total},
        {ControlId::DetailsFrame, m_detailsFrame},
    };

    // Captions and the names that assistive technology reads, from the template: a label's is
    // its description (its text is its name), a button's also its tooltip.
    for (const ControlTemplate& control : kWindowTemplate) {
        QWidget* widget = Control(control.id);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(Caption(control.id));
        else if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(Caption(control.id));
        if (control.name.empty())
            continue;
        if (control.kind == ControlKind::Label) {
            widget->setAccessibleDescription(Name(control.id));
        } else {
            widget->setAccessibleName(Name(control.id));
            if (control.kind == ControlKind::IconButton || control.kind == ControlKind::Button)
                widget->setToolTip(Name(control.id));
        }
    }
    m_romSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_splashTip = new SplashToolTipFilter(m_splashPath, [this] { return SplashTip(); });

    // Only the list takes dropped files; edit boxes would otherwise take dropped text.
    for (QLineEdit* edit :
         {static_cast<QLineEdit*>(m_title), static_cast<QLineEdit*>(m_followValue), m_outputPath, m_splashPath})
        edit->setAcceptDrops(false);
    // The radio buttons are reached by clicking only, as is the up-down control.
    m_followSprite->setFocusPolicy(Qt::ClickFocus);
    m_followMemory->setFocusPolicy(Qt::ClickFocus);
    // No button is the default one, so Enter in an edit box or the list presses nothing
    // (keyPressEvent); a focused button answers Enter and Space.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    // The system menu's three commands: a menu button at the top right, and the list's
    // context menu.
    m_menu = new QMenu(this);
    m_locateEmulator = m_menu->addAction(FromUtf8(kLocateEmulatorCommand));
    m_menu->addSeparator();
    m_locateGoodNes = m_menu->addAction(FromUtf8(kLocateGoodNesCommand));
    m_locateQuorrel = m_menu->addAction(FromUtf8(kLocateQuorrelCommand));
    m_menuButton = new QToolButton(this);
    m_menuButton->setIcon(AppIcon(IconKind::Menu));
    m_menuButton->setMenu(m_menu);
    m_menuButton->setPopupMode(QToolButton::InstantPopup);
    m_menuButton->setAutoRaise(true);
    m_menuButton->setAccessibleName(QStringLiteral("Menu"));
    m_menuButton->setToolTip(QStringLiteral("Menu"));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);

    // Tab order: the template's.
    QWidget* previous = nullptr;
    for (const ControlTemplate& control : kWindowTemplate) {
        QWidget* widget = Control(control.id);
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous != nullptr)
            setTabOrder(previous, widget);
        previous = widget;
    }
    setTabOrder(previous, m_menuButton);
}

void MainWindow::ConnectEvents() {
    MainWindowPresenter& presenter = m_presenter;
    connect(m_list, &QListWidget::itemSelectionChanged, this, &MainWindow::ListSelectionChanged);
    connect(m_list, &RomListWidget::DoubleClicked, this, [&presenter] { presenter.OnTogglePanel(); });
    connect(m_list, &RomListWidget::FilesDropped, this, [&presenter](const QStringList& files) {
        std::vector<std::filesystem::path> paths;
        paths.reserve(static_cast<std::size_t>(files.size()));
        for (const QString& file : files)
            paths.push_back(ToPath(file));
        presenter.OnDrop(paths);
    });
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { m_menu->popup(m_list->viewport()->mapToGlobal(position)); });
    connect(m_add, &QPushButton::clicked, this, [&presenter] { presenter.OnAdd(); });
    connect(m_remove, &QPushButton::clicked, this, [&presenter] { presenter.OnRemove(); });
    connect(m_sort, &QPushButton::clicked, this, [&presenter] { presenter.OnSort(); });
    connect(m_upDown, &UpDownControl::Step, this, [this](int delta) {
        // The arrows take the focus after a move, so that the arrow keys go on moving the entry.
        if (m_presenter.OnMove(delta))
            m_upDown->setFocus(Qt::OtherFocusReason);
    });
    connect(m_build, &QPushButton::clicked, this, [&presenter] { presenter.OnBuild(); });
    connect(m_chooseOutput, &QPushButton::clicked, this, [&presenter] { presenter.OnChooseOutput(); });
    connect(m_togglePanel, &QPushButton::clicked, this, [&presenter] { presenter.OnTogglePanel(); });
    connect(m_title, &QLineEdit::textEdited, this, [&presenter] { presenter.OnTitleEdited(); });
    connect(m_title, &TitleBox::FocusLost, this, [&presenter] { presenter.OnTitleFocusLost(); });
    connect(m_splash, &QCheckBox::clicked, this, [&presenter] { presenter.OnSplashToggled(); });
    connect(m_chooseSplash, &QPushButton::clicked, this, [&presenter] { presenter.OnChooseSplash(); });
    connect(m_locateEmulator, &QAction::triggered, this, [&presenter] { presenter.OnLocateEmulator(); });
    connect(m_locateGoodNes, &QAction::triggered, this, [&presenter] { presenter.OnLocateGoodNes(); });
    connect(m_locateQuorrel, &QAction::triggered, this, [&presenter] { presenter.OnLocateQuorrel(); });
}

void MainWindow::ListSelectionChanged() {
    // A selection made through the accessibility interface may clear the list before it
    // selects the new row, or select it beside the old one: the row that is not the one
    // shown wins, and stays the only one selected.
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    const int shown = m_presenter.Roms().Selection();
    int row = -1;
    for (QListWidgetItem* item : selected) {
        const int candidate = m_list->row(item);
        if (row < 0 || candidate != shown)
            row = candidate;
    }
    if (selected.size() > 1)
        SelectListRow(row);
    m_presenter.OnSelectionChanged(row);
}

void MainWindow::ApplyLayout(bool panelShown) {
    const DialogUnits units = Units();
    for (const ControlTemplate& control : kWindowTemplate) {
        QWidget* widget = Control(control.id);
        QRect rect = ControlRect(units, control);
        // A caption that the font makes wider than its template box grows to the right as
        // far as the next control allows, rather than being cut.
        const bool hasCaption = control.kind == ControlKind::CheckBox || control.kind == ControlKind::Radio ||
                                control.id == ControlId::FileName;
        if (hasCaption && widget->sizeHint().width() > rect.width()) {
            const int right = units.X(RightLimitUnits(control));
            rect.setWidth(std::min(widget->sizeHint().width(), right - rect.left()));
        }
        widget->setGeometry(rect);
    }
    const int iconSide = std::max(8, std::min(units.X(12), units.Y(11)));
    for (QPushButton* button : {m_add, m_remove, m_build})
        button->setIconSize(QSize(iconSide, iconSide));
    const QSize client = ClientSize(units, panelShown);
    m_menuButton->setGeometry(MenuButtonRect(units, panelShown ? kTemplateWidth : kNarrowWidth));
    const int menuIcon = std::max(8, m_menuButton->height() - 6);
    m_menuButton->setIconSize(QSize(menuIcon, menuIcon));
    setFixedSize(client);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_presenter.OnClose(CloseReason::CloseBox);
    // The dialog's own close handling rejects it; that is no Escape.
    m_closing = true;
    QDialog::closeEvent(event);
    m_closing = false;
}

void MainWindow::reject() {
    if (!m_closing)
        m_presenter.OnClose(CloseReason::Escape);
    QDialog::reject();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter never ends the window: it presses the focused push button, or nothing.
    if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
        button != nullptr && button->window() == this && button->isEnabled())
        button->click();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_menuButton != nullptr)
        ApplyLayout(m_presenter.PanelShown());
    else if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_presenter.OnActivated();
}

QString MainWindow::SplashTip() {
    const std::optional<std::filesystem::path> file = m_presenter.SplashBoxFile();
    if (!file)
        return {};
    const std::optional<SplashPreview> preview = m_splashPreviews.Request(*file);
    if (!preview)
        return FromUtf8(kPreparingPreview);
    return SplashToolTip(preview, m_splashPath->devicePixelRatio());
}

void MainWindow::SplashPreviewReady() {
    m_splashTip->Refresh();
}

} // namespace brimble
