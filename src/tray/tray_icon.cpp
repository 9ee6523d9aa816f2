// The tray icon's picture and tooltip are drawn by the tray work; until then the program
// adds no icon, and these entry points keep the start-up and shift order in place.
#include "tray/tray_icon.h"

UINT taskbarCreatedMessage;

void addTrayIcon() {}
void updateTrayIcon() {}
