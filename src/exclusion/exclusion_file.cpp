// The exclusion list is not kept yet: nothing is read at start or written at exit.
#include "exclusion/exclusion_file.h"

void loadExclusions() {}
void saveExclusions() {}
