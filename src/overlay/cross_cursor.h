// The cross cursor and the measuring cross cursor: dashed lines across and down the
// screen through the pointer, the measuring one with x and y readings. Main-thread
// windows, driven by the movement computation and switched by the menu commands; they
// take no input and are never activated.
#pragma once

extern int measuringCursorOn; // in memory only, 0 at every start

void openCrossCursor();
void closeCrossCursor();
void openMeasuringCursor();
void closeMeasuringCursor();
// Follow PointerPosition; an overlay closed while idle opens again here.
void moveCrossCursor();
void moveMeasuringCursor();
