// Edge movement is being built; until then pushes move nothing and no pointer shape is
// loaded, so none has to be put back at exit.
#include "core/edge_movement.h"

Point PointerPosition;
Point lastStep;
HCURSOR savedNormalArrow;

void loadPointerShapes() {}
int readEdgeFlags() { return 0; }
void computeMovement(int, int, int) {}
void onContinuationTimer(UINT_PTR) {}
void stepOneScreen(int) {}
void applyQueuedMoves() {}
void resetEdgeMovement() {}
