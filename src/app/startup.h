// Start-up in its fixed order, the main loop and shut-down.
#pragma once

#include <windows.h>

int initialize(HINSTANCE instance); // 1: run the loop; 0: end the process at once
void runMainLoop();
void shutdown();

// True from a successful InstallHook until the exit removes the hooks: meanwhile the loop
// puts them back whenever another process has changed the hook library's shared record.
extern bool hooksKept;
