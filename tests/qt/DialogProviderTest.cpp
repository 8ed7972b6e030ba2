#include "UiTestSupport.h"
#include "window/WindowTexts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace brimble::test {
namespace {

FileDialogRequest OpenRequest(const std::filesystem::path& directory) {
    FileDialogRequest request = FileDialogFor(FileDialogUse::AddRoms);
    request.initialDirectory = directory;
    return request;
}

// The names the dialog's file view lists, once its folder has been read.
QStringList ListedNames(QFileDialog& dialog, int expectedCount) {
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    if (view == nullptr)
        return {};
    QStringList names;
    const auto collect = [&] {
        names.clear();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            names.append(view->model()->index(row, 0, root).data().toString());
        return names.size() == expectedCount;
    };
    (void)QTest::qWaitFor(collect, 5000);
    names.sort();
    return names;
}

TEST(QtDialogProvider, FiltersMatchNamesRegardlessOfCase) {
    TempDir dir;
    WriteNesFile(dir / "game.nes", 16);
    WriteNesFile(dir / "LOUD.NES", 16);
    WriteNesFile(dir / "Mixed.Nes", 16);
    WriteFile(dir / "notes.txt", "x");
    QFileDialog dialog;
    QtDialogProvider::Configure(dialog, OpenRequest(dir.Path()));
    dialog.show();
    EXPECT_EQ(ListedNames(dialog, 3), (QStringList{Q("LOUD.NES"), Q("Mixed.Nes"), Q("game.nes")}));
    dialog.selectNameFilter(Q("*.* (*)"));
    EXPECT_EQ(dialog.selectedNameFilter(), Q("*.*"));
    EXPECT_EQ(ListedNames(dialog, 4), (QStringList{Q("LOUD.NES"), Q("Mixed.Nes"), Q("game.nes"), Q("notes.txt")}));
    dialog.reject();
}

TEST(QtDialogProvider, ConfigureSetsEveryPartOfTheRequest) {
    TempDir dir;
    FileDialogRequest request = OpenRequest(dir.Path());
    request.filterIndex = 1;
    QFileDialog open;
    QtDialogProvider::Configure(open, request);
    EXPECT_EQ(open.windowTitle(), Q("Add NES files..."));
    EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(open.nameFilters(), (QStringList{Q("*.NES;*.zip (*.NES *.zip)"), Q("*.* (*)")}));
    EXPECT_EQ(open.selectedNameFilter(), Q("*.*")); // the dialog shows the label alone
    EXPECT_EQ(open.directory().absolutePath(), Q(dir.Path()));
    EXPECT_FALSE(open.filter().testFlag(QDir::CaseSensitive));

    FileDialogRequest save = FileDialogFor(FileDialogUse::Output);
    QFileDialog saveDialog;
    QtDialogProvider::Configure(saveDialog, save);
    EXPECT_EQ(saveDialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(saveDialog.defaultSuffix(), Q("GBA"));
    EXPECT_EQ(saveDialog.selectedNameFilter(), Q("*.GBA"));
}

TEST(QtDialogProvider, ARunDialogReturnsThePathsAndTheChosenFilter) {
    TempDir dir;
    WriteNesFile(dir / "one.nes", 16);
    QtDialogProvider provider;
    FileDialogRequest request = OpenRequest(dir.Path());
    // Accept the dialog once it is up, with the second filter chosen.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        dialog->selectNameFilter(QtDialogProvider::FilterText({"*.*", {"*"}}));
        dialog->selectFile(Q(dir / "one.nes"));
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog keeps its override protected
    });
    const FileDialogAnswer answer = provider.RunFileDialog(nullptr, request);
    EXPECT_EQ(answer.files, std::vector<std::filesystem::path>{dir / "one.nes"});
    EXPECT_EQ(answer.filterIndex, 1);

    // A cancelled dialog answers no file.
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    EXPECT_TRUE(provider.RunFileDialog(nullptr, request).files.empty());
}

// What a message box shows of a request, and that it runs until answered.
TEST(QtDialogProvider, MessageBoxesShowTextCaptionAndIcon) {
    const auto made =
        QtDialogProvider::MakeMessageBox(nullptr, {"Can't <b>write</b> to y.", std::nullopt, MessageIcon::Error});
    EXPECT_EQ(made->text(), Q("Can't <b>write</b> to y."));
    // No caption: the application's name, which is the program's file name.
    EXPECT_EQ(made->windowTitle(), Q("qt_tests"));
    EXPECT_EQ(made->icon(), QMessageBox::Critical);
    EXPECT_EQ(made->textFormat(), Qt::PlainText);

    // ShowMessage runs the box modally until it is answered.
    QtDialogProvider provider;
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    provider.ShowMessage(nullptr, {"Done!", "Brimble 1.1", MessageIcon::None});
    EXPECT_EQ(shown, Q("Done!"));

    // A question offers Yes and No, and answers which was clicked.
    for (const QMessageBox::StandardButton clicked : {QMessageBox::Yes, QMessageBox::No}) {
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
                EXPECT_EQ(box->icon(), QMessageBox::Warning);
                box->button(clicked)->click();
            }
        });
        EXPECT_EQ(provider.AskYesNo(nullptr, {"Build anyway?", std::nullopt, MessageIcon::Warning}),
                  clicked == QMessageBox::Yes);
    }
}

} // namespace
} // namespace brimble::test
