// The cross cursor and the measuring cross cursor that follow the pointer.
#pragma once

extern int measuringCursorOn; // in memory only, 0 at every start

void openCrossCursor();
void closeCrossCursor();
void openMeasuringCursor();
void closeMeasuringCursor();
void moveCrossCursor();     // to PointerPosition
void moveMeasuringCursor();
