// The window that lists, edits and finds excluded windows (command 130), and the exit
// sequence's way to forget a find the user did not confirm.
#pragma once

// Opens the window, or brings the open one forward.
void showExclusionWindow();
void dropUnconfirmedCandidate(); // at exit: forget an entry the user did not confirm
