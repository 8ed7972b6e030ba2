#pragma once

#include "WindowTemplate.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What the window's behaviour needs of a face: each face (the Qt window, the Windows window)
// implements this small interface over its own controls, and the presenter does everything
// else. Texts cross it as UTF-8, converted exactly by the face (never a best-fit conversion:
// the presenter turns a title into Windows-1252 itself, with '?' for what has no form there);
// paths cross as std::filesystem::path. Notifications that a face's controls send while the
// presenter changes them through these operations (a selection, a text change) may reach the
// presenter; it ignores them.

namespace brimble {

// One entry of a file dialog's filter list: what the user sees and the patterns it matches.
struct FileFilter {
    std::string label;                 // "*.NES"
    std::vector<std::string> patterns; // {"*.NES"}; the face joins them its own way

    bool operator==(const FileFilter&) const = default;
};

// Everything a use of a file dialog asks for.
struct FileDialogRequest {
    enum class Mode { OpenOne, OpenMany, Save };
    Mode mode = Mode::OpenOne;
    std::string title;                      // empty: the platform's own title
    std::vector<FileFilter> filters;        // the use's own filter first, then all files
    std::filesystem::path initialDirectory; // empty: the platform's own choice
    std::string defaultSuffix;              // added to a name typed without an extension (save)
    bool mustExist = false;                 // open dialogs: only existing files can be chosen
    // The filter to preselect: the one the user chose last in any file dialog, which the
    // presenter keeps (0 for the first).
    int filterIndex = 0;

    bool operator==(const FileDialogRequest&) const = default;
};

struct FileDialogAnswer {
    std::vector<std::filesystem::path> files; // full paths in the dialog's order; empty: cancelled
    int filterIndex = 0;                      // the filter the user left selected
};

enum class MessageIcon { None, Warning, Error };

// A modal message with an OK button.
struct MessageRequest {
    std::string text;
    std::optional<std::string> caption; // none: the application's name ("brimble")
    MessageIcon icon = MessageIcon::None;

    bool operator==(const MessageRequest&) const = default;
};

// One step of a running build, for the face's progress display.
struct BuildProgressStep {
    std::size_t position = 0; // the ROM being written, from 0; equal to count at the end
    std::size_t count = 0;    // ROMs in the build
    std::string romName;      // the ROM's title, or its file name when the title is empty; UTF-8
};

class MainWindowView {
public:
    MainWindowView() = default;
    MainWindowView(const MainWindowView&) = delete;
    MainWindowView& operator=(const MainWindowView&) = delete;
    virtual ~MainWindowView() = default;

    // Edit boxes, labels and button captions.
    virtual std::string Text(ControlId id) const = 0;
    virtual void SetText(ControlId id, const std::string& text) = 0;

    // Check boxes and radio buttons. Setting a radio button unchecked must work also when it
    // is the checked one of its group (the blank panel has both follow buttons unchecked).
    virtual bool Checked(ControlId id) const = 0;
    virtual void SetChecked(ControlId id, bool checked) = 0;

    virtual void SetEnabled(ControlId id, bool enabled) = 0;
    // Edit boxes only: a read-only box keeps and shows its text.
    virtual void SetReadOnly(ControlId id, bool readOnly) = 0;

    // The list control's items, one text each, mirroring the presenter's list.
    virtual void SetListItems(const std::vector<std::string>& texts) = 0; // replaces every item
    virtual void AppendListItem(const std::string& text) = 0;
    virtual void RemoveListItem(int row) = 0;
    virtual void SetListItemText(int row, const std::string& text) = 0;
    // Selects the row, and brings it into view; -1 leaves nothing selected.
    virtual void SelectListRow(int row) = 0;

    // Shows or hides the options panel (every control from kPanelStart across) and makes the
    // window wide or narrow to match. The toggle's caption is set by the presenter.
    virtual void ShowPanel(bool shown) = 0;

    // The total label and its caption warn (in red, with the tooltip) while the image would
    // outgrow a cartridge; an empty tooltip and no warning otherwise.
    virtual void ShowTotalWarning(bool warn, const std::string& toolTip) = 0;

    // A modal file dialog; returns once it is closed.
    virtual FileDialogAnswer AskFiles(const FileDialogRequest& request) = 0;
    // A modal message box; returns once the user has dismissed it.
    virtual void ShowMessage(const MessageRequest& request) = 0;
    // A modal message box with Yes and No buttons; true when the user answered Yes.
    virtual bool AskYesNo(const MessageRequest& request) = 0;

    // A build is writing: the face shows a modal progress display once the build has lasted
    // half a second, and keeps the window painted (no user input). Called before each ROM and
    // once at the end (position == count).
    virtual void ShowBuildProgress(const BuildProgressStep& step) = 0;
    // The build is over: the progress display, if any, goes.
    virtual void EndBuildProgress() = 0;

    // Ends the window once the running handler has returned, without running the face's close
    // handling again (the presenter has already done what closing does).
    virtual void EndWindow() = 0;
};

} // namespace brimble
