#include "UiTestSupport.h"
#include "window/WindowTexts.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QTimer>

// The toolkit's dialogs as the provider sets them up and runs them.

namespace brimble::test {
namespace {

using DialogTest = WindowTest;

// The add dialog lists what its filter matches regardless of case, takes several files, and
// reports the files and the filter the user chose.
TEST_F(DialogTest, TheAddDialogMatchesNamesRegardlessOfCaseAndReportsTheChoice) {
    for (const char* name : {"game.nes", "LOUD.NES", "notes.txt"})
        WriteFile(Dir() / name, "x");
    FileDialogRequest request = FileDialogFor(FileDialogUse::AddRoms);
    request.initialDirectory = Dir();
    QFileDialog shown;
    QtDialogProvider::Configure(shown, request);
    shown.show();
    auto* view = shown.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == 2; }, 5000));
    QStringList listed;
    for (int row = 0; row < 2; ++row)
        listed.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
    listed.sort();
    EXPECT_EQ(listed, (QStringList{Q("LOUD.NES"), Q("game.nes")}));
    EXPECT_EQ(shown.fileMode(), QFileDialog::ExistingFiles);
    shown.reject();

    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectNameFilter(QtDialogProvider::FilterText(request.filters.back()));
            dialog->selectFile(Q(Dir() / "notes.txt"));
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog keeps its override protected
        }
    });
    const FileDialogAnswer answer = QtDialogProvider().RunFileDialog(nullptr, request);
    EXPECT_EQ(answer.files, std::vector<std::filesystem::path>{Dir() / "notes.txt"});
    EXPECT_EQ(answer.filterIndex, 1);
}

TEST_F(DialogTest, TheSaveDialogMessagesAndQuestionsShowTheirRequest) {
    QFileDialog save;
    QtDialogProvider::Configure(save, FileDialogFor(FileDialogUse::Output));
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save.defaultSuffix(), Q("GBA"));
    EXPECT_EQ(save.nameFilters(), (QStringList{Q("*.GBA (*.GBA)"), Q("*.* (*)")}));
    // Shown as plain text; without a caption the application's name, the program's file name.
    const auto box =
        QtDialogProvider::MakeMessageBox(nullptr, {"Can't <b>write</b>.", std::nullopt, MessageIcon::Error});
    EXPECT_EQ(box->text(), Q("Can't <b>write</b>."));
    EXPECT_EQ(box->windowTitle(), Q("qt_tests"));
    EXPECT_TRUE(box->textFormat() == Qt::PlainText && box->icon() == QMessageBox::Critical);

    // A question offers Yes and No, and answers which was clicked.
    for (const QMessageBox::StandardButton clicked : {QMessageBox::Yes, QMessageBox::No}) {
        QTimer::singleShot(0, [&] {
            if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                EXPECT_EQ(question->standardButtons(), QMessageBox::Yes | QMessageBox::No);
                EXPECT_EQ(question->icon(), QMessageBox::Warning);
                question->button(clicked)->click();
            }
        });
        EXPECT_EQ(QtDialogProvider().AskYesNo(nullptr, {"Build anyway?", std::nullopt, MessageIcon::Warning}),
                  clicked == QMessageBox::Yes);
    }
}

} // namespace
} // namespace brimble::test
