// Edge movement arrives with the main job; until then pushes move nothing, no pointer
// shape is loaded and so none has to be put back at exit.
#include "core/edge_movement.h"

HCURSOR savedNormalArrow;

void loadPointerShapes() {}
void computeMovement(int, int, int) {}
void onContinuationTimer(UINT_PTR) {}
