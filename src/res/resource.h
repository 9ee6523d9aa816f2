// Resource and command identifiers of the program. The resource script, the menus and
// every window procedure take their numbers from here, so each number is written once.
// Plain macros: windres reads this file too.
#pragma once

// String table
#define IDS_CAPTION 101   // "Orvalis": window title and message-box caption
#define IDS_CLASSNAME 109 // "ZerdaneOrvalis": main window class and mutex name

// Icons
#define IDI_ORVALIS 108
#define IDI_ORVALIS_SMALL 140

// Edge arrow cursors
#define IDC_EDGE_RIGHT 133
#define IDC_EDGE_DOWN 136
#define IDC_EDGE_LEFT 137
#define IDC_EDGE_UP 138

// Bitmaps
#define IDB_LANDSCAPE 193      // 16 x 12 desktop picture of the tray glyph
#define IDB_CHECKERBOARD 194   // 4 x 4 green/silver pattern of the border frame
#define IDB_STARTPOS_FIRST 195 // 195..199: start-position pictures of the dialog
#define IDB_STARTPOS_LAST 199
#define IDB_STARTPOS_TASKBAR 1011

// One picture per start-position radio, in the radios' order after the taskbar one.
#define IDB_STARTPOS_BOTTOMLEFT 195  // '1'
#define IDB_STARTPOS_TOPLEFT 196     // '7'
#define IDB_STARTPOS_TOPRIGHT 197    // '9'
#define IDB_STARTPOS_BOTTOMRIGHT 198 // '3'
#define IDB_STARTPOS_CENTRE 199      // '5'

#define IDB_CROSS_H_FIRST 200 // 200..211: 12 x 1 phases of the cross cursor's line
#define IDB_CROSS_V_FIRST 212 // 212..223: 1 x 12 phases
#define IDB_CROSS_PHASES 12

// Dialogs and menus
#define IDD_SETTINGS 103
#define IDM_TRAY 129
#define IDM_EXCLUSION 131

// Commands (tray menu and internal triggers)
#define IDM_CANCEL_MENU 2
#define IDM_SETTINGS 104
#define IDM_EXIT 105
#define IDM_CROSS_CURSOR 106
#define IDM_MEASURING_CURSOR 107
#define IDM_EXCLUSIONS 130
#define IDM_EXCL_DELETE 120 // exclusion window: delete the selected rules
#define IDM_EXCL_FIND 121   // exclusion window: find a window by pointing
#define IDM_TOGGLE_SCROLL 132
#define IDM_TILE_VERTICAL 163
#define IDM_TILE_HORIZONTAL 164
#define IDM_OVERVIEW 165
#define IDM_HELP_FIRST 166
#define IDM_HELP_HOWTOUSE 167
#define IDM_HELP_UNINSTALL 168
#define IDM_HELP_NOTFOUND 169
#define IDM_HELP_STOPSCROLL 170
#define IDM_HELP_LIMIT 171
#define IDM_UNUSED_172 172
#define IDM_HELP_REQUIREMENTS 173
#define IDM_HELP_FILES 174
#define IDM_HELP_ABOUT 175
#define IDM_CASCADE 32772
#define IDM_GATHER 32773
#define IDM_CAPTION_ARRANGE 32774
#define IDM_CAPTION_MANUAL 32777
