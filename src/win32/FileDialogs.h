#pragma once

#include "window/MainWindowView.h"

#include <cstddef>
#include <functional>
#include <vector>
#include <windows.h>
// commdlg.h needs the declarations of windows.h first.
#include <commdlg.h>

namespace brimble::win32 {

// The system's open and save dialogs over one record that every use of the window shares, so
// that what the dialog writes back into it (the filter the user chose last) is there for the
// next use. A selection that does not fit the name buffer grows the buffer and asks again.
class FileDialogs {
public:
    // Runs the dialog the record asks for: true when the user chose, else false with the
    // dialog's error code (0 for a cancel).
    using Runner = std::function<bool(OPENFILENAMEW& record, bool save, DWORD& error)>;

    explicit FileDialogs(std::size_t initialCapacity = 32768, Runner runner = SystemDialog);

    // The system's own open and save dialogs.
    static bool SystemDialog(OPENFILENAMEW& record, bool save, DWORD& error);

    FileDialogAnswer Ask(HWND owner, const FileDialogRequest& request);

    // How many characters the name buffer holds now.
    std::size_t Capacity() const { return m_names.size(); }

private:
    OPENFILENAMEW m_record{};
    std::vector<wchar_t> m_names;
    Runner m_runner;
};

// The files a confirmed dialog left in its name buffer: one full path, or the folder followed
// by the names, each ended by a NUL and the list by an empty name.
std::vector<std::filesystem::path> ChosenFiles(const wchar_t* names, std::size_t fileOffset);

} // namespace brimble::win32
