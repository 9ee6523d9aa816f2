// Arrangement is not built yet: the commands reach here and move nothing.
#include "mainwnd/arrange.h"

void tileWindows(int) {}
void gatherWindows(bool) {}
