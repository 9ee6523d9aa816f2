// Windows left wholly outside the virtual area (by a start that could not resume the
// last run's view, or by a smaller screen) are brought into the nearest real screen of
// the area; nothing else moves. Start-up calls it before the adoption, the main window
// after a display change. Main thread; never while a shift runs.
#pragma once

void bringStrandedWindowsIn();
