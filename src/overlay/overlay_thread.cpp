// The overlay thread: a message loop that ends on WM_QUIT. The frame strips it will show
// are not drawn yet; the thread already runs so that start-up, the posts of the input
// and shift paths and the join at shut-down follow their final order.
#include "overlay/overlay_thread.h"

struct BorderFrameRecord {
    int unused = 0;
};
BorderFrameRecord BorderFrame;

DWORD WINAPI overlayThreadProc(LPVOID) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
