// The arrangement commands of the tray menu: gather, cascade and tile.
#pragma once

void tileWindows(int variant); // 1: one above the other, 0: side by side
void gatherWindows(bool cascade);
