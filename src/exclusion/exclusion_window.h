// The window that lists, edits and finds excluded windows (command 130), and the exit
// sequence's way to forget a find the user did not confirm.
#pragma once

// Opens the window; does nothing while it is open.
void showExclusionWindow();
void dropUnconfirmedCandidate(); // at exit: forget an entry the user did not confirm
