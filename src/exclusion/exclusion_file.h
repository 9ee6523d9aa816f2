// The exclusion rules and their file beside the executable.
#pragma once

void loadExclusions();
void saveExclusions();
