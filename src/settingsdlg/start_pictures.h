// The six start-position pictures beside the dialog's option buttons, drawn at the DPI of
// the dialog's monitor and centred on their buttons. Used by settings_dialog.cpp only.
#pragma once

#include <windows.h>

// Loads each picture at the dialog's DPI and puts it beside its option button; again after
// a DPI change. The dialog keeps the bitmaps until releaseStartPictures.
void scaleStartPictures(HWND dialog);
void releaseStartPictures(); // the dialog is gone
