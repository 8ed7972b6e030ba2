#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>
// commctrl.h needs the declarations of windows.h first.
#include <commctrl.h>

// The window tests run on one thread with COM and the common controls, as the program does.
int main(int argc, char** argv) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    ::CoUninitialize();
    return status;
}
