// Telling the user that the settings or the exclusion rules could not be saved: a balloon
// from the tray icon naming the file, once per run for each of the two. Called by the main
// window when the saver reports a failure (WM_SAVE_FAILED). Main thread only.
#pragma once

// Takes the failed saves from the saver and tells those not told yet this run.
void tellFailedSaves();
// Tests: nothing told yet, as at process start.
void resetSaveFailures();
