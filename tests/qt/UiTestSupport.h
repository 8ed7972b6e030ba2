#pragma once

#include "catalogue/GameTables.h"
#include "qt/DialogProvider.h"
#include "qt/MainWindow.h"
#include "qt/QtText.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"
#include "window/ScriptedAnswers.h"

#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace brimble::test {

// Answers the window's dialogs from a script and records what each one asked.
class ScriptedDialogs : public DialogProvider, public ScriptedAnswers {
public:
    FileDialogAnswer RunFileDialog(QWidget*, const FileDialogRequest& request) override { return Answer(request); }
    void ShowMessage(QWidget*, const MessageRequest& request) override { messages.push_back(request); }
    bool AskYesNo(QWidget*, const MessageRequest& request) override { return AnswerYesNo(request); }
};

// A window started in a fresh temporary folder that is the current directory, with its own
// tables and scripted dialogs.
class WindowTest : public ::testing::Test {
protected:
    static QString Q(const std::filesystem::path& path) { return FromPath(path); }
    static QString Q(const char* utf8) { return QString::fromUtf8(utf8); }
    // Runs the start-up sequence and shows the window, active, with a ROM dropped for each
    // name (name.nes, 1000 * n bytes, seed n for the n-th), the first selected.
    void Open(const std::vector<std::string>& stems = {}) {
        window = std::make_unique<MainWindow>(names, database, dialogs);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        std::vector<std::string> files;
        for (std::uint32_t n = 1; n <= stems.size(); ++n)
            WriteNesFile(Dir() / files.emplace_back(stems[n - 1] + ".nes"), 1000 * n, n);
        Drop(files);
    }

    template <class T = QWidget> T* Get(ControlId id) const { return qobject_cast<T*>(window->Control(id)); }
    QListWidget* List() const { return Get<QListWidget>(ControlId::List); }
    const MainWindowPresenter& Presenter() const { return window->Presenter(); }
    void Click(ControlId id) { QTest::mouseClick(window->Control(id), Qt::LeftButton); }
    // Drags the folder's files onto the target (the list by default) and drops them if it takes them.
    void Drop(const std::vector<std::string>& files, QWidget* target = nullptr) {
        target = target != nullptr ? target : List()->viewport();
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& name : files)
            urls.append(QUrl::fromLocalFile(Q(Dir() / name)));
        data.setUrls(urls);
        const QPoint at(target->width() / 2, target->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (enter.isAccepted())
            QApplication::sendEvent(target, &drop);
    }
    std::filesystem::path Dir() const { return m_dir.Path(); }

    TempDir m_dir;
    CurrentDirectory m_cwd{m_dir.Path()};
    NameTable names;
    GameDatabase database;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

} // namespace brimble::test
