#include "win32/BuildProgress.h"
#include "win32/FileDialogs.h"
#include "win32/SplashToolTip.h"

#include <cderr.h>
#include <gtest/gtest.h>

// The window's parts on their own: the file dialogs' shared record, the progress, the splash tooltip.

namespace brimble::test {
namespace {

TEST(FileDialogs, TheRecordCarriesTheRequestAndItsBufferGrowsUntilTheNamesFit) {
    const std::wstring folder = L"C:\\roms", first(400, L'a'),
                       names = folder + L'\0' + first + L'\0' + L"b.nes" + L'\0';
    const std::wstring_view filters(L"*.NES;*.zip\0*.NES;*.zip\0*.*\0*\0", 31); // to the second NUL at the end
    int rounds = 0;
    win32::FileDialogs dialogs(MAX_PATH, [&](OPENFILENAMEW& record, bool save, DWORD& error) {
        ++rounds;
        EXPECT_TRUE(!save && record.nFilterIndex == 2 && (record.Flags & OFN_ALLOWMULTISELECT) != 0);
        EXPECT_EQ(std::wstring_view(record.lpstrFilter, filters.size()), filters);
        if (record.nMaxFile <= names.size()) {
            *reinterpret_cast<WORD*>(record.lpstrFile) = static_cast<WORD>(names.size() + 1);
            error = FNERR_BUFFERTOOSMALL;
            return false;
        }
        std::copy(names.begin(), names.end() + 1, record.lpstrFile);
        record.nFileOffset = save ? 0 : static_cast<WORD>(folder.size() + 1);
        record.nFilterIndex = 2;
        return true;
    });
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::OpenMany;
    request.filters = {{"*.NES;*.zip", {"*.NES", "*.zip"}}, {"*.*", {"*"}}};
    request.filterIndex = 1;
    const FileDialogAnswer answer = dialogs.Ask(nullptr, request);
    EXPECT_EQ(rounds, 2); // the first buffer was too small
    EXPECT_EQ(answer.files, (std::vector<std::filesystem::path>{folder + L"\\" + first, folder + L"\\b.nes"}));
    EXPECT_EQ(answer.filterIndex, 1);
}

TEST(BuildProgress, ShowsOnlyOnceTheBuildHasLastedHalfASecondAndGivesTheWindowBack) {
    HWND owner = ::CreateWindowExW(0, L"#32770", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    auto now = std::chrono::steady_clock::time_point{};
    win32::BuildProgress progress([&] { return now; });
    for (const auto& [step, waited] : {std::pair{"a", 0}, {"b", 499}, {"c", 1}}) {
        now += std::chrono::milliseconds(waited);
        progress.Step(owner, {0, 3, step});
        EXPECT_EQ(progress.Window() != nullptr, *step == 'c') << step;
    }
    EXPECT_FALSE(::IsWindowEnabled(owner)); // no input while the build runs
    wchar_t text[64] = {};
    ::GetWindowTextW(::GetWindow(progress.Window(), GW_CHILD), text, 64);
    EXPECT_STREQ(text, L"Writing c...");
    progress.End();
    EXPECT_TRUE(::IsWindowEnabled(owner) && progress.Window() == nullptr);
    ::DestroyWindow(owner);
}

TEST(SplashToolTip, ShowsThePicturesColoursPixelForPixelAndDoubledFrom192Dpi) {
    Picture picture{240, 160, 3, std::vector<std::uint8_t>(240 * 160 * 3)};
    std::copy_n("\xF0\x80\x10", 3, picture.pixels.begin() + (20 * 240 + 10) * 3); // orange at (10, 20)
    win32::SplashToolTipPicture shown;
    shown.Set(picture);
    const int margin = (shown.ClientSize(96).cx - 240) / 2;
    // Drawn into a bitmap, one pixel read back at each place.
    for (const auto& [dpi, x, y, colour] : {std::tuple{96u, 10, 20, RGB(0xF0, 0x80, 0x10)},
                                            {96u, 11, 20, 0ul},
                                            {192u, 21, 41, RGB(0xF0, 0x80, 0x10)},
                                            {192u, 22, 41, 0ul}}) {
        const SIZE size = shown.ClientSize(dpi);
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, ::CreateBitmap(size.cx, size.cy, 1, 32, nullptr));
        shown.Draw(dc, RECT{0, 0, size.cx, size.cy}, dpi);
        EXPECT_EQ(::GetPixel(dc, margin + x, margin + y), colour) << dpi << " " << x;
        ::DeleteObject(::SelectObject(dc, old));
        ::DeleteDC(dc);
    }
}

} // namespace
} // namespace brimble::test
