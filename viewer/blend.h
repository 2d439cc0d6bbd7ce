// The blends between two frames that drawing sends to GL, without GL: a
// vertex's position and normal, and a tag's placement. Their bits are fixed
// (see each function), so they are checked on every build that ships.
#ifndef VIEWER_BLEND_H
#define VIEWER_BLEND_H

#include "md3.h"

// Position (scaled to model units) and normal (from NormalTable) of a vertex
// between a (fraction 0) and b (fraction 1): each component in double from
// the float inputs, a + fraction * (b - a), rounded once to float.
void Blend_Vertex(const Md3Vertex *a, const Md3Vertex *b, float fraction, float position[3], float normal[3]);

// The column-major GL matrix that places a child at the tag between a and b:
// the rotation of Quat_Slerp between the two axes' quaternions, its rows as
// the columns of the upper-left 3 x 3, and the origin blended in float,
// a + (b - a) * fraction, as the last column.
void Blend_Tag(const Md3Tag *a, const Md3Tag *b, float fraction, float placement[16]);

#endif
