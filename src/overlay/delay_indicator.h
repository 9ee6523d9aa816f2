// The delay indicator: a half-transparent square near the pointer that shows how far a
// held edge push has filled the delay gate. The gate shows and closes it; the movement
// switch closes it too. Main thread only; it takes no input and is never activated.
#pragma once

// Places the indicator around PointerPosition, creating it when there is none (a failed
// creation is simply tried again at the next call), and repaints it.
void showOrMoveDelayIndicator();
// WM_CLOSE to the indicator when it exists.
void closeDelayIndicator();
