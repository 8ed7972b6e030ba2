#include "UiTestSupport.h"

#include "qt/QtText.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace brimble::test {

FileDialogAnswer ScriptedDialogs::RunFileDialog(QWidget*, const FileDialogRequest& request) {
    requests.push_back(request);
    if (answers.empty())
        return {};
    FileDialogAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString Q(const std::filesystem::path& path) {
    return FromPath(path);
}

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

WindowTest::WindowTest()
    : m_cwd(std::in_place, m_dir.Path()), names(std::make_unique<NameTable>()),
      database(std::make_unique<GameDatabase>()) {}

WindowTest::~WindowTest() {
    window.reset();
}

MainWindow& WindowTest::Open() {
    window = std::make_unique<MainWindow>(*names, *database, dialogs);
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    return *window;
}

MainWindow& WindowTest::Reopen() {
    if (window && window->isVisible())
        window->close();
    window.reset();
    names = std::make_unique<NameTable>();
    database = std::make_unique<GameDatabase>();
    return Open();
}

QListWidget* WindowTest::List() const {
    return qobject_cast<QListWidget*>(window->Control(ControlId::List));
}

QStringList WindowTest::ListTexts() const {
    QStringList texts;
    for (int row = 0; row < List()->count(); ++row)
        texts.append(List()->item(row)->text());
    return texts;
}

int WindowTest::ShownRow() const {
    const auto selected = List()->selectedItems();
    return selected.isEmpty() ? -1 : List()->row(selected.front());
}

std::filesystem::path WindowTest::Rom(const std::filesystem::path& relative, std::size_t romBytes, std::uint32_t seed) {
    const auto path = m_dir.Path() / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteNesFile(path, romBytes, seed);
    return path;
}

void WindowTest::WriteSettings(const std::string& lines) {
    WriteFile(m_dir / "brimble.ini", "[config]\r\n" + lines);
}

std::string WindowTest::Setting(const char* key) const {
    return SettingsStore(m_dir / "brimble.ini").ReadString("config", key, "<missing>");
}

void WindowTest::OpenWithRoms(const std::vector<std::string>& stems) {
    QStringList paths;
    for (std::size_t i = 0; i < stems.size(); ++i) {
        const auto n = static_cast<std::uint32_t>(i + 1);
        paths.append(Q(Rom(stems[i] + ".nes", 1000 * n, n)));
    }
    Open();
    Drop(paths);
}

void WindowTest::ExpectShown(int row, const char* title) {
    EXPECT_EQ(Presenter().Roms().Selection(), row);
    EXPECT_EQ(ShownRow(), row);
    EXPECT_EQ(qobject_cast<QLineEdit*>(window->Control(ControlId::Title))->text(), Q(title));
    if (row >= 0) {
        EXPECT_EQ(List()->currentRow(), row);
        EXPECT_EQ(List()->item(row)->text(), Q(title));
    }
}

void WindowTest::Click(ControlId id) {
    QWidget* widget = window->Control(id);
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton);
}

void WindowTest::ClickRow(int row) {
    QListWidget* list = List();
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void WindowTest::Drop(const QStringList& paths, QWidget* target) {
    if (target == nullptr)
        target = List()->viewport();
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    const QPointF position(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(position.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return;
    QDropEvent drop(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace brimble::test
