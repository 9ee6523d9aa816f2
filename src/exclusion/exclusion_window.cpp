// The exclusion window is not built yet; its menu command and the exit sequence call these.
#include "exclusion/exclusion_window.h"

void showExclusionWindow() {}
void dropUnconfirmedCandidate() {}
