// The taskbar's side of the screen, from the shell's own answer for its rectangle.
#include "core/taskbar.h"

#include "core/view.h"

#include <windows.h>

#include <shellapi.h>

char taskbarSide() {
    HWND bar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!bar)
        return 0;
    APPBARDATA abd{};
    abd.cbSize = sizeof(abd); // 36 bytes in the 32-bit build; the 64-bit shell wants its own
    abd.hWnd = bar;
    SHAppBarMessage(ABM_GETTASKBARPOS, &abd);
    return taskbarSideFromRect({abd.rc.left, abd.rc.top, abd.rc.right, abd.rc.bottom});
}
