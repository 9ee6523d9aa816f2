// Start-up in its fixed order, the main loop and shut-down.
#pragma once

#include <windows.h>

int initialize(HINSTANCE instance); // 1: run the loop; 0: end the process at once
void runMainLoop();
void shutdown();

