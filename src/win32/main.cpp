#include "Win32Window.h"

#include <objbase.h>

// The program: the one window, run until it ends.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The accessibility annotations need COM on the window's thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 1;
    {
        brimble::NameTable names;
        brimble::GameDatabase database;
        brimble::win32::Win32Window window(instance, names, database);
        if (window.Create()) {
            window.Run();
            status = 0;
        }
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return status;
}
