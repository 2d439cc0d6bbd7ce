// Rotation maths for blending tag orientations between frames.
#ifndef VIEWER_QUAT_H
#define VIEWER_QUAT_H

struct Quaternion {
    float x, y, z, w;   // w is the scalar part
};

// m: nine floats, element (row r, column c) at m[3r + c], read as the matrix
// acting on column vectors. Writes the quaternion of that rotation.
void Quat_FromMatrix(Quaternion *out, const float *m);

// Spherical blend of `from` towards `to` by t, linear where the two are close.
// The result is not normalised.
void Quat_Slerp(const Quaternion *from, const Quaternion *to, float t, Quaternion *out);

// Writes the rotation matrix of q column by column (out[3c + r] = R[r][c]):
// read row by row it is the transpose of the matrix Quat_FromMatrix read.
void Quat_ToMatrix(float *out, const Quaternion *q);

#endif
