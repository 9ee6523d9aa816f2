// The window that lists, edits and finds excluded windows.
#pragma once

void showExclusionWindow();
void dropUnconfirmedCandidate(); // at exit: forget an entry the user did not confirm
