#include "win32/FileDialogs.h"

#include <cderr.h>
#include <cwchar>
#include <gtest/gtest.h>
#include <string>

// The shared dialog record over a scripted dialog: what a use puts into the record, what comes
// back, and the growth of the name buffer when the dialog says the names did not fit.

namespace brimble::test {
namespace {

using win32::FileDialogs;

// Writes names as a multiple selection does: the folder, each name, then an empty name.
void WriteSelection(OPENFILENAMEW& record, const std::wstring& folder, const std::vector<std::wstring>& names) {
    std::wstring text = folder + L'\0';
    for (const std::wstring& name : names)
        text += name + L'\0';
    text += L'\0';
    std::copy(text.begin(), text.end(), record.lpstrFile);
    record.nFileOffset = static_cast<WORD>(folder.size() + 1);
}

FileDialogRequest AddRequest(int filterIndex) {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::OpenMany;
    request.title = "Add NES files...";
    request.filters = {{"*.NES", {"*.NES"}}, {"*.*", {"*"}}};
    request.initialDirectory = L"C:\\roms";
    request.mustExist = true;
    request.filterIndex = filterIndex;
    return request;
}

// The texts a record points at, read while the dialog runs.
struct SeenRecord {
    OPENFILENAMEW record{};
    std::wstring title;
    std::wstring initialDirectory;
    std::wstring defaultExtension;
    std::wstring filters;

    void See(const OPENFILENAMEW& shown) {
        record = shown;
        title = shown.lpstrTitle != nullptr ? shown.lpstrTitle : L"(none)";
        initialDirectory = shown.lpstrInitialDir != nullptr ? shown.lpstrInitialDir : L"(none)";
        defaultExtension = shown.lpstrDefExt != nullptr ? shown.lpstrDefExt : L"(none)";
        filters.clear();
        for (const wchar_t* text = shown.lpstrFilter; *text != L'\0'; text += std::wcslen(text) + 1)
            filters += std::wstring(text) + L'|';
    }
};

TEST(FileDialogs, ARecordCarriesTheRequestAndTheAnswerComesBack) {
    SeenRecord seen;
    FileDialogs dialogs(32768, [&](OPENFILENAMEW& record, bool save, DWORD&) {
        EXPECT_FALSE(save);
        seen.See(record);
        WriteSelection(record, L"C:\\roms", {L"a.nes", L"b.nes"});
        record.nFilterIndex = 2;
        return true;
    });
    const FileDialogAnswer answer = dialogs.Ask(nullptr, AddRequest(0));
    EXPECT_EQ(seen.filters, L"*.NES|*.NES|*.*|*|");
    EXPECT_EQ(seen.title, L"Add NES files...");
    EXPECT_EQ(seen.initialDirectory, L"C:\\roms");
    EXPECT_EQ(seen.defaultExtension, L"(none)");
    EXPECT_EQ(seen.record.nFilterIndex, 1u);
    EXPECT_EQ(seen.record.Flags, static_cast<DWORD>(OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST |
                                                    OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT));
    EXPECT_EQ(answer.files, (std::vector<std::filesystem::path>{L"C:\\roms\\a.nes", L"C:\\roms\\b.nes"}));
    EXPECT_EQ(answer.filterIndex, 1);
}

TEST(FileDialogs, NamesThatDoNotFitGrowTheBufferAndAskAgain) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 12; ++i)
        names.push_back(std::wstring(40, static_cast<wchar_t>(L'a' + i)) + L".nes");
    std::size_t needed = 9;
    for (const auto& name : names)
        needed += name.size() + 1;
    int rounds = 0;
    FileDialogs dialogs(1, [&](OPENFILENAMEW& record, bool, DWORD& error) {
        ++rounds;
        if (record.nMaxFile < needed) {
            *reinterpret_cast<WORD*>(record.lpstrFile) = static_cast<WORD>(needed);
            error = FNERR_BUFFERTOOSMALL;
            return false;
        }
        WriteSelection(record, L"C:\\roms", names);
        return true;
    });
    const FileDialogAnswer answer = dialogs.Ask(nullptr, AddRequest(0));
    EXPECT_EQ(rounds, 2);
    ASSERT_EQ(answer.files.size(), names.size());
    EXPECT_EQ(answer.files.back(), std::filesystem::path(L"C:\\roms\\" + names.back()));
    EXPECT_GE(dialogs.Capacity(), needed);
}

TEST(FileDialogs, ACancelAndOneFileAndTheSaveDialog) {
    int round = 0;
    SeenRecord seen;
    FileDialogs dialogs(32768, [&](OPENFILENAMEW& record, bool save, DWORD& error) {
        seen.See(record);
        ++round;
        if (round == 1) {
            error = 0; // cancelled
            return false;
        }
        EXPECT_TRUE(save);
        const std::wstring path = L"C:\\out\\games.GBA";
        std::copy(path.begin(), path.end() + 1, record.lpstrFile);
        record.nFileOffset = 7;
        return true;
    });
    EXPECT_TRUE(dialogs.Ask(nullptr, AddRequest(1)).files.empty());
    FileDialogRequest save;
    save.mode = FileDialogRequest::Mode::Save;
    save.filters = {{"*.GBA", {"*.GBA"}}, {"*.*", {"*"}}};
    save.defaultSuffix = "GBA";
    const FileDialogAnswer answer = dialogs.Ask(nullptr, save);
    EXPECT_EQ(seen.defaultExtension, L"GBA");
    EXPECT_EQ(seen.title, L"(none)");
    EXPECT_EQ(seen.initialDirectory, L"(none)");
    EXPECT_EQ(seen.record.Flags & (OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST), 0u);
    EXPECT_EQ(answer.files, (std::vector<std::filesystem::path>{L"C:\\out\\games.GBA"}));
}

} // namespace
} // namespace brimble::test
