// Hands the activation on before a window of the program closes, so that the system does
// not pick a window of its own choosing that tracking would then follow (the choice:
// hand_off_rules.h). Called by every close of the overview, the settings dialog, the
// exclusion window and the program's message boxes. Main thread only.
#pragma once

#include "mainwnd/hand_off_rules.h"

#include <windows.h>

// Call while `closing` is still shown. The window that takes the activation becomes
// lastActivated, so that its activation report moves nothing.
void handOffActivation(HWND closing, CloseCause cause);
