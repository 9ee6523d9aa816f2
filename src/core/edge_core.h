// The arithmetic of edge movement: edge flags, the accelerated step, the border block,
// the direction filter, the edge pointer choice, clamping to the virtual area, the
// continuation step and the whole-screen move. No step can overflow: every sum is taken
// in 64 bits and saturated.
#pragma once

#include "core/geometry.h"

#include <span>

constexpr int EDGE_LEFT = 1;
constexpr int EDGE_RIGHT = 2;
constexpr int EDGE_TOP = 4;
constexpr int EDGE_BOTTOM = 8;

// Only the first and the last pixel row and column count.
int edgeFlagsAt(Point p, Size screen);

// `flags` less every edge with a monitor just beyond the pointer (any of `monitors`, in
// screen coordinates, holding the next pixel out): the system does not hold the pointer
// there, so motion over that edge crosses to the other monitor and is never a push.
int edgesWithoutMonitorBeyond(int flags, Point p, std::span<const Rect> monitors);

// floor(|d|^(1 + 0.1 * acceleration) + 0.5) with the sign of d, saturated to int.
int accelerate(int d, int acceleration);

// The largest view origin: ((columns - 1) * W, (rows - 1) * H).
Point maxViewOrigin(int columns, int rows, Size screen);

// Raw motion that would push the view past a border is dropped per axis.
Point borderBlock(Point d, Point view, Point maxView);

// Keeps only the parts of a step that point at a touched edge (the other way round with
// reverse: the motion was already negated when it was read).
Point directionFilter(Point step, int flags, bool reverse);

enum class EdgeShape { Normal, Left, Right, Up, Down };
EdgeShape chooseEdgeShape(int flags, bool scrollEnabled, bool reverse, Point view, Point maxView);

// The part of a step that keeps the view inside [0, maxView].
Point clampToArea(Point step, Point view, Point maxView);

// The step the continuation timer starts to repeat, from the touched edges.
Point continuationFrom(int flags, Point step);
// A further push in the same direction strengthens the repeated step by half of it.
Point strengthenContinuation(Point continuation, Point step);

// The step that lands the view on the neighbouring real screen (on the grid even when it
// was between screens); (0, 0) when there is none in that direction.
Point stepToNeighbourScreen(int flags, Point view, Size screen, int columns, int rows,
                            bool reverse);

// Whether a pointer position lies within two pixels of a screen edge (the middle-click
// toggle zone).
bool nearScreenEdge(Point p, Size screen);
