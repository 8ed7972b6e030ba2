#pragma once

#include "window/MainWindowView.h"

#include <QString>
#include <memory>

class QFileDialog;
class QMessageBox;
class QWidget;

namespace brimble {

// The modal dialogs of the window, behind one seam: the program shows the toolkit's file
// dialogs and message boxes, tests answer from a script.
class DialogProvider {
public:
    DialogProvider() = default;
    DialogProvider(const DialogProvider&) = delete;
    DialogProvider& operator=(const DialogProvider&) = delete;
    virtual ~DialogProvider() = default;

    virtual FileDialogAnswer RunFileDialog(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual void ShowMessage(QWidget* parent, const MessageRequest& request) = 0;
    // True when the user answered Yes.
    virtual bool AskYesNo(QWidget* parent, const MessageRequest& request) = 0;
};

// The program's dialogs: the toolkit's file dialog, matching names regardless of case, and
// QMessageBox with an OK button, or Yes and No.
class QtDialogProvider : public DialogProvider {
public:
    FileDialogAnswer RunFileDialog(QWidget* parent, const FileDialogRequest& request) override;
    void ShowMessage(QWidget* parent, const MessageRequest& request) override;
    bool AskYesNo(QWidget* parent, const MessageRequest& request) override;

    // The message box that ShowMessage runs; tests look at it without running it.
    static std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const MessageRequest& request);
    // Sets up a file dialog for a request; tests look at the result without running it.
    static void Configure(QFileDialog& dialog, const FileDialogRequest& request);
    // The text of a filter as it is handed to the file dialog.
    static QString FilterText(const FileFilter& filter);
};

} // namespace brimble
