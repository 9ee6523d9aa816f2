// Cross cursor windows are not drawn yet; the menu commands and start-up call these.
#include "overlay/cross_cursor.h"

int measuringCursorOn;

void openCrossCursor() {}
void closeCrossCursor() {}
void openMeasuringCursor() {}
void closeMeasuringCursor() {}
void moveCrossCursor() {}
void moveMeasuringCursor() {}
