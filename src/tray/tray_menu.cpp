// The tray menu and the help viewer arrive with the tray work; the commands already
// reach these entry points.
#include "tray/tray_menu.h"

int pointerPinned;

void onTrayNotify(LPARAM) {}
void openHelpPage(const wchar_t*) {}
