#include "MainWindow.h"

#include "Icons.h"
#include "QtText.h"
#include "RomListWidget.h"
#include "SplashPreview.h"
#include "TextBoxes.h"
#include "UpDownControl.h"
#include "builder/BuildMessages.h"
#include "settings/DatabaseSettings.h"
#include "settings/SavedList.h"
#include "settings/SettingsKeys.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace brimble {
namespace {

const QString kHideCaption = QStringLiteral("<< Hide");
const QString kMoreCaption = QStringLiteral("More >>");

QPushButton* IconButton(const QIcon& icon, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setIcon(icon);
    button->setAccessibleName(name);
    button->setToolTip(name);
    return button;
}

} // namespace

MainWindow::MainWindow(NameTable& names, GameDatabase& database, DialogProvider& dialogs, QWidget* parent)
    : QDialog(parent), m_names(names), m_database(database), m_dialogs(dialogs) {
    StartUp();
    ConnectKeys();
}

MainWindow::~MainWindow() {
    // A window closed while shown moves the focus as it goes; the controls' signals must not
    // reach handlers whose state is already gone.
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
    m_detailsFrame->setAccessibleName(QStringLiteral("ROM details"));

    m_list = new RomListWidget(this);
    m_list->setAccessibleName(QStringLiteral("ROM list"));
    m_add = IconButton(AppIcon(IconKind::Add), QStringLiteral("Add ROMs"), this);
    m_remove = IconButton(AppIcon(IconKind::Remove), QStringLiteral("Remove ROM"), this);
    m_sort = new QPushButton(QStringLiteral("sort"), this);
    m_upDown = new UpDownControl(this);
    m_build = IconButton(AppIcon(IconKind::Build), QStringLiteral("Build"), this);
    m_outputPath = new QLineEdit(this);
    m_outputPath->setAccessibleName(QStringLiteral("Output file"));
    m_chooseOutput = new QPushButton(QStringLiteral(".."), this);
    m_chooseOutput->setAccessibleName(QStringLiteral("Choose output file"));
    m_chooseOutput->setToolTip(QStringLiteral("Choose output file"));
    m_restoreList = new QCheckBox(QStringLiteral("restore rom list on startup"), this);
    m_togglePanel = new QPushButton(kHideCaption, this);

    m_title = new TitleBox(this);
    m_title->setAccessibleName(QStringLiteral("Title"));
    m_ppuSpeedHack = new QCheckBox(QStringLiteral("enable PPU speed hack"), this);
    m_noCpuSpeedHack = new QCheckBox(QStringLiteral("disable CPU speed hack"), this);
    m_palTiming = new QCheckBox(QStringLiteral("use PAL timing"), this);
    m_followSprite = new QRadioButton(QStringLiteral("follow sprite"), this);
    m_followMemory = new QRadioButton(QStringLiteral("follow mem"), this);
    m_followValue = new FollowBox(this);
    m_followValue->setAccessibleName(QStringLiteral("Follow value"));
    m_autonumber = new QCheckBox(QStringLiteral("autonumber"), this);
    m_splash = new QCheckBox(QStringLiteral("splash screen"), this);
    m_flag190k = new QCheckBox(QStringLiteral("flag <190k"), this);
    m_splashPath = new QLineEdit(this);
    m_splashPath->setAccessibleName(QStringLiteral("Splash file"));
    InstallSplashPreview(m_splashPath);
    m_chooseSplash = new QPushButton(QStringLiteral(".."), this);
    m_chooseSplash->setAccessibleName(QStringLiteral("Choose splash file"));
    m_chooseSplash->setToolTip(QStringLiteral("Choose splash file"));
    m_fileName = new QLabel(this);
    m_fileName->setAccessibleDescription(QStringLiteral("File name"));
    m_romSize = new QLabel(this);
    m_romSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_romSize->setAccessibleDescription(QStringLiteral("ROM size"));
    m_totalCaption = new QLabel(QStringLiteral("Total"), this);
    m_total = new QLabel(this);
    m_total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_total->setAccessibleDescription(QStringLiteral("Total size"));

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
    m_locateEmulator = m_menu->addAction(QStringLiteral("Locate Vantaro.GBA..."));
    m_menu->addSeparator();
    m_locateGoodNes = m_menu->addAction(QStringLiteral("Locate GoodNES database..."));
    m_locateQuorrel = m_menu->addAction(QStringLiteral("Locate Quorrel database..."));
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

    connect(m_list, &QListWidget::itemSelectionChanged, this, &MainWindow::SelectionChanged);
    connect(m_list, &RomListWidget::DoubleClicked, this, &MainWindow::ToggleOptionsPanel);
    connect(m_list, &RomListWidget::FilesDropped, this, &MainWindow::AddDroppedFiles);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { m_menu->popup(m_list->viewport()->mapToGlobal(position)); });
    connect(m_add, &QPushButton::clicked, this, &MainWindow::AddRomFiles);
    connect(m_remove, &QPushButton::clicked, this, &MainWindow::RemoveSelectedRom);
    connect(m_sort, &QPushButton::clicked, this, &MainWindow::SortRomsByTitle);
    connect(m_upDown, &UpDownControl::Step, this, &MainWindow::MoveSelectedRom);
    connect(m_build, &QPushButton::clicked, this, &MainWindow::Build);
    connect(m_chooseOutput, &QPushButton::clicked, this, &MainWindow::ChooseOutputFile);
    connect(m_togglePanel, &QPushButton::clicked, this, &MainWindow::ToggleOptionsPanel);
    connect(m_title, &TitleBox::FocusLost, this, &MainWindow::StoreEditedTitle);
    connect(m_splash, &QCheckBox::clicked, this, &MainWindow::SplashBoxChanged);
    connect(m_chooseSplash, &QPushButton::clicked, this, &MainWindow::ChooseSplashFile);
    connect(m_locateEmulator, &QAction::triggered, this, [this] { LocateEmulatorImage(); });
    connect(m_locateGoodNes, &QAction::triggered, this, &MainWindow::ChooseListFile);
    connect(m_locateQuorrel, &QAction::triggered, this, &MainWindow::ChooseListFile);
}

void MainWindow::ApplyLayout() {
    const DialogUnits units = Units();
    for (const ControlTemplate& control : kWindowTemplate) {
        QWidget* widget = Control(control.id);
        QRect rect = ControlRect(units, control);
        // A caption that the font makes wider than its template box grows to the right as
        // far as the next control allows, rather than being cut.
        const bool hasCaption = qobject_cast<QCheckBox*>(widget) != nullptr ||
                                qobject_cast<QRadioButton*>(widget) != nullptr || widget == m_fileName;
        if (hasCaption && widget->sizeHint().width() > rect.width()) {
            const int right = units.X(RightLimitUnits(control));
            rect.setWidth(std::min(widget->sizeHint().width(), right - rect.left()));
        }
        widget->setGeometry(rect);
    }
    const int iconSide = std::max(8, std::min(units.X(12), units.Y(11)));
    for (QPushButton* button : {m_add, m_remove, m_build})
        button->setIconSize(QSize(iconSide, iconSide));
    const QSize client = ClientSize(units, m_panelShown);
    m_menuButton->setGeometry(MenuButtonRect(units, m_panelShown ? kTemplateWidth : kNarrowWidth));
    const int menuIcon = std::max(8, m_menuButton->height() - 6);
    m_menuButton->setIconSize(QSize(menuIcon, menuIcon));
    setFixedSize(client);
}

void MainWindow::StartUp() {
    CreateControls();
    setWindowTitle(FromWindows1252(kProgramCaption));
    // A caption with the system menu and the close box; no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(AppIcon(IconKind::Application));
    setSizeGripEnabled(false);

    // No selection and an empty list: the panel is blank.
    ShowSelectedRom();

    // The options panel starts hidden.
    m_panelShown = true;
    ToggleOptionsPanel();

    m_settings = ReadStartupSettings();
    m_store = std::make_unique<SettingsStore>(m_settings.settingsPath);
    m_flag190k->setChecked(m_settings.flag190k);
    m_restoreList->setChecked(m_settings.saveList);
    m_autonumber->setChecked(m_settings.autonumber);
    m_outputPath->setText(FromPath(m_settings.outputFile));
    m_splashPath->setText(FromPath(m_settings.splashFile));
    m_splash->setChecked(m_settings.useSplash);

    SplashBoxChanged();

    LoadGoodNesAtStart(*m_store, m_names);
    LoadGameDatabaseAtStart(*m_store, m_names, m_database);

    if (m_restoreList->isChecked()) {
        m_addingBatch = true;
        for (const SavedRom& rom : RestoreSavedList(m_settings.savedListPath))
            AddRom(rom.directory, rom.fileName);
        m_addingBatch = false;
        ShowTotalSize();
    }
    m_list->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ToggleOptionsPanel() {
    m_panelShown = !m_panelShown;
    m_togglePanel->setText(m_panelShown ? kHideCaption : kMoreCaption);
    for (const ControlTemplate& control : kWindowTemplate) {
        if (IsPanelControl(control))
            Control(control.id)->setVisible(m_panelShown);
    }
    ApplyLayout();
}

void MainWindow::SplashBoxChanged() {
    m_splashPath->setReadOnly(!m_splash->isChecked());
    ShowTotalSize();
}

void MainWindow::ChooseSplashFile() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::OpenOne;
    request.title = QStringLiteral("Choose splash screen...");
    request.filters = {{QStringLiteral("*.raw;*.bin;*.png;*.jpg;*.jpeg;*.bmp;*.gif"),
                        QStringLiteral("*.raw *.bin *.png *.jpg *.jpeg *.bmp *.gif")},
                       {QStringLiteral("*.*"), QStringLiteral("*")}};
    request.mustExist = true;
    const QString file = m_dialogs.AskFile(this, request);
    if (!file.isEmpty())
        m_splashPath->setText(file);
}

void MainWindow::ChooseOutputFile() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.filters = {{QStringLiteral("*.GBA"), QStringLiteral("*.GBA")},
                       {QStringLiteral("*.*"), QStringLiteral("*")}};
    request.initialDirectory = QStringLiteral(".");
    request.defaultSuffix = QStringLiteral("GBA");
    const QString file = m_dialogs.AskFile(this, request);
    if (!file.isEmpty())
        m_outputPath->setText(file);
}

std::optional<std::filesystem::path> MainWindow::LocateEmulatorImage() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::OpenOne;
    request.title = QStringLiteral("Locate Vantaro.GBA...");
    request.filters = {{QStringLiteral("Vantaro.GBA"), QStringLiteral("Vantaro.GBA")},
                       {QStringLiteral("*.*"), QStringLiteral("*")}};
    request.mustExist = true;
    const QString file = m_dialogs.AskFile(this, request);
    if (file.isEmpty())
        return std::nullopt;
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(ToPath(file), error);
    if (error)
        path = ToPath(file);
    WritePathSetting(*m_store, SettingKey::Vantaro, path);
    ShowTotalSize();
    return path;
}

void MainWindow::ChooseListFile() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::OpenOne;
    request.filters = {{QStringLiteral("*.lst;*.db;*.dat"), QStringLiteral("*.lst *.db *.dat")},
                       {QStringLiteral("*.*"), QStringLiteral("*")}};
    request.mustExist = true;
    const QString file = m_dialogs.AskFile(this, request);
    if (file.isEmpty())
        return;
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(ToPath(file), error);
    if (error)
        path = ToPath(file);
    LoadChosenListFile(*m_store, path, m_names, m_database);
}

StartupSettings MainWindow::ClosingSettings() const {
    StartupSettings settings = m_settings;
    settings.flag190k = m_flag190k->isChecked();
    settings.saveList = m_restoreList->isChecked();
    settings.autonumber = m_autonumber->isChecked();
    settings.useSplash = m_splash->isChecked();
    settings.outputFile = ToPath(m_outputPath->text());
    settings.splashFile = ToPath(m_splashPath->text());
    return settings;
}

void MainWindow::CloseMainWindow() {
    WriteClosingSettings(*m_store, ClosingSettings());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    CloseMainWindow();
    QDialog::closeEvent(event);
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
    if (event->type() == QEvent::FontChange && m_menuButton != nullptr) {
        ApplyLayout();
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_store) {
        // The emulator image may have appeared or gone while the window was in the background.
        ShowTotalSize();
    }
}

} // namespace brimble
