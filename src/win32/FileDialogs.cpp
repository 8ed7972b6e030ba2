#include "FileDialogs.h"

#include "WideText.h"

#include <algorithm>
#include <cderr.h>
#include <string>

namespace brimble::win32 {
namespace {

// Each filter as its label and its patterns joined by semicolons, each ended by a NUL, and an
// empty entry at the end.
std::wstring FilterList(const std::vector<FileFilter>& filters) {
    std::wstring list;
    for (const FileFilter& filter : filters) {
        list += Widen(filter.label);
        list += L'\0';
        for (std::size_t i = 0; i < filter.patterns.size(); ++i) {
            if (i > 0)
                list += L';';
            list += Widen(filter.patterns[i]);
        }
        list += L'\0';
    }
    list += L'\0';
    return list;
}

DWORD FlagsOf(const FileDialogRequest& request) {
    DWORD flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    if (request.mustExist)
        flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (request.mode == FileDialogRequest::Mode::OpenMany)
        flags |= OFN_ALLOWMULTISELECT;
    return flags;
}

// No selection grows the buffer without end: after this many rounds the dialog counts as
// cancelled.
constexpr int kMaxGrowths = 8;

} // namespace

FileDialogs::FileDialogs(std::size_t initialCapacity, Runner runner)
    : m_names(std::max<std::size_t>(initialCapacity, MAX_PATH)), m_runner(std::move(runner)) {
    m_record.lStructSize = sizeof m_record;
}

bool FileDialogs::SystemDialog(OPENFILENAMEW& record, bool save, DWORD& error) {
    const BOOL chosen = save ? ::GetSaveFileNameW(&record) : ::GetOpenFileNameW(&record);
    error = chosen ? 0 : ::CommDlgExtendedError();
    return chosen != FALSE;
}

FileDialogAnswer FileDialogs::Ask(HWND owner, const FileDialogRequest& request) {
    const std::wstring filters = FilterList(request.filters);
    const std::wstring title = Widen(request.title);
    const std::wstring initialDirectory = request.initialDirectory.native();
    const std::wstring defaultSuffix = Widen(request.defaultSuffix);

    FileDialogAnswer answer;
    for (int round = 0; round <= kMaxGrowths; ++round) {
        m_names[0] = L'\0';
        m_record.hwndOwner = owner;
        m_record.lpstrFilter = filters.c_str();
        m_record.nFilterIndex = static_cast<DWORD>(request.filterIndex + 1);
        m_record.lpstrFile = m_names.data();
        m_record.nMaxFile = static_cast<DWORD>(m_names.size());
        m_record.lpstrTitle = title.empty() ? nullptr : title.c_str();
        m_record.lpstrInitialDir = initialDirectory.empty() ? nullptr : initialDirectory.c_str();
        m_record.lpstrDefExt = defaultSuffix.empty() ? nullptr : defaultSuffix.c_str();
        m_record.Flags = FlagsOf(request);

        const bool save = request.mode == FileDialogRequest::Mode::Save;
        DWORD error = 0;
        const bool chosen = m_runner(m_record, save, error);
        // The texts above live only for this call; no later use may inherit them.
        m_record.lpstrFilter = nullptr;
        m_record.lpstrTitle = nullptr;
        m_record.lpstrInitialDir = nullptr;
        m_record.lpstrDefExt = nullptr;
        answer.filterIndex = m_record.nFilterIndex > 0 ? static_cast<int>(m_record.nFilterIndex) - 1 : 0;
        if (chosen) {
            answer.files = ChosenFiles(m_names.data(), m_record.nFileOffset);
            return answer;
        }
        if (error != FNERR_BUFFERTOOSMALL)
            return answer;
        // The dialog leaves the size it needed in the buffer's first two bytes; a size beyond
        // what two bytes can say shows as less, so the buffer at least doubles.
        const std::size_t needed = static_cast<std::size_t>(*reinterpret_cast<const WORD*>(m_names.data())) + 2;
        m_names.assign(std::max(needed, m_names.size() * 2), L'\0');
    }
    return answer;
}

std::vector<std::filesystem::path> ChosenFiles(const wchar_t* names, std::size_t fileOffset) {
    std::vector<std::filesystem::path> files;
    const std::wstring first = names;
    if (first.empty())
        return files;
    // One file: its full path. Several: the folder, then the names after it.
    if (fileOffset <= first.size()) {
        files.emplace_back(first);
        return files;
    }
    const std::filesystem::path folder = first;
    for (const wchar_t* name = names + first.size() + 1; *name != L'\0';) {
        const std::wstring text = name;
        files.push_back(folder / text);
        name += text.size() + 1;
    }
    return files;
}

} // namespace brimble::win32
