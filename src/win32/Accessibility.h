#pragma once

#include <windows.h>

namespace brimble::win32 {

// Gives the controls of the window that show no caption the names (labels: the descriptions)
// of the window's template table, and the up-down control's arrows "Move up" and "Move down",
// as annotations that the system's accessibility proxies hand to an assistive technology.
// False when the system offers no annotation service or refuses an annotation.
bool NameControls(HWND window);
// Takes the annotations back before the window goes.
void ClearControlNames(HWND window);

} // namespace brimble::win32
