#include "win32/Resources.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <windows.h>

// What the program carries besides its dialog: the manifest, the icons and the version.

namespace brimble::test {
namespace {

std::string_view ResourceBytes(LPCWSTR type, LPCWSTR name) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, name, type);
    if (found == nullptr)
        return {};
    const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    return std::string_view(data, ::SizeofResource(module, found));
}

TEST(Resources, TheManifestAsksForVisualStylesAndPerMonitorDpi) {
    const std::string_view manifest = ResourceBytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string_view::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string_view::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string_view::npos);
}

TEST(Resources, IconsAtTheirSizesAndTheVersion) {
    for (int icon : {IDI_BRIMBLE, IDI_ADD, IDI_REMOVE, IDI_BUILD}) {
        for (int side : {16, 32}) {
            HANDLE loaded =
                ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icon), IMAGE_ICON, side, side, 0);
            EXPECT_NE(loaded, nullptr) << "icon " << icon << " at " << side;
            ::DestroyIcon(static_cast<HICON>(loaded));
        }
    }
    // The version texts are UTF-16 in the resource.
    const std::string_view version = ResourceBytes(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
    const std::wstring_view text(reinterpret_cast<const wchar_t*>(version.data()), version.size() / 2);
    EXPECT_NE(text.find(L"ProductVersion"), std::wstring_view::npos);
    EXPECT_NE(text.find(L"brimble.exe"), std::wstring_view::npos);
}

} // namespace
} // namespace brimble::test
