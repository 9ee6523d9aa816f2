// The window that shows how far the delay gate has filled during a held push.
#pragma once

void closeDelayIndicator(); // WM_CLOSE to the window when it exists
