// The dialog is not built yet: command 104 reaches here and nothing opens.
#include "settingsdlg/settings_dialog.h"

HWND SettingsDialog;

void showSettingsDialog() {}
