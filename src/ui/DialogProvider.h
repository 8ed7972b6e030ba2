#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QFileDialog;
class QMessageBox;
class QWidget;

namespace brimble {

// One entry of a file dialog's filter list: what the user sees and the patterns it matches,
// separated by blanks.
struct FileFilter {
    QString label;
    QString patterns;

    bool operator==(const FileFilter&) const = default;
};

// Everything a use of a file dialog asks for.
struct FileDialogRequest {
    enum class Mode { OpenOne, OpenMany, Save };
    Mode mode = Mode::OpenOne;
    QString title;             // empty: the platform's own title
    QList<FileFilter> filters; // the use's own filter first, then all files
    QString initialDirectory;  // empty: the platform's own choice
    QString defaultSuffix;     // added to a name typed without an extension (save dialogs)
    bool mustExist = false;
    int filterIndex = 0; // set by the provider: the filter last chosen in any file dialog
};

struct FileDialogAnswer {
    QStringList files;   // full paths; empty when the dialog was cancelled
    int filterIndex = 0; // the filter the user left selected
};

enum class MessageIcon { None, Warning, Error };

struct MessageRequest {
    QString text;
    std::optional<QString> caption; // none: the application's name
    MessageIcon icon = MessageIcon::None;
};

// The modal dialogs of the window, behind one seam: the program shows the toolkit's file
// dialogs and message boxes, tests answer from a script. The provider keeps the user's last
// filter choice, so that it carries over to the next file dialog of any kind.
class DialogProvider {
public:
    DialogProvider() = default;
    DialogProvider(const DialogProvider&) = delete;
    DialogProvider& operator=(const DialogProvider&) = delete;
    virtual ~DialogProvider() = default;

    // The chosen files (full paths), or an empty list when the dialog was cancelled.
    QStringList AskFiles(QWidget* parent, FileDialogRequest request);
    // The first chosen file, or an empty text when cancelled.
    QString AskFile(QWidget* parent, FileDialogRequest request);

    virtual void ShowMessage(QWidget* parent, const MessageRequest& request) = 0;

    int LastFilterIndex() const { return m_filterIndex; }

protected:
    virtual FileDialogAnswer RunFileDialog(QWidget* parent, const FileDialogRequest& request) = 0;

private:
    int m_filterIndex = 0;
};

// The program's dialogs: the toolkit's file dialog, matching names regardless of case, and
// QMessageBox with an OK button.
class QtDialogProvider : public DialogProvider {
public:
    void ShowMessage(QWidget* parent, const MessageRequest& request) override;

    // The message box that ShowMessage runs; tests look at it without running it.
    static std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const MessageRequest& request);
    // Sets up a file dialog for a request; tests look at the result without running it.
    static void Configure(QFileDialog& dialog, const FileDialogRequest& request);
    // The text of a filter as it is handed to the file dialog.
    static QString FilterText(const FileFilter& filter);

protected:
    FileDialogAnswer RunFileDialog(QWidget* parent, const FileDialogRequest& request) override;
};

} // namespace brimble
