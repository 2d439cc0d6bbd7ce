// Results of the model core that are fixed to the bit (the normal table,
// the rotations, the blends between frames) with their expected values,
// worked out by normal_reference.py and quat_reference.py; shared by the
// unit tests and by the check program that runs the Windows builds under
// Wine. Each check gives "" when every case holds, else the first
// difference.
#ifndef TESTS_MD3_BITS_CASES_H
#define TESTS_MD3_BITS_CASES_H

#include <string>

// "" when the bit patterns agree, else the first element that differs, as
// hex floats, so that a sign or a last place counts.
std::string BitsCases_SameFloats(const float *got, const float *want, int count);

// Fills the normal table the way every program does, through a successful
// read (of a model with nothing in it); 1 when the read succeeds.
int BitsCases_FillNormalTable();

std::string BitsCases_CheckNormalTable();
// Quat_FromMatrix, Quat_ToMatrix and Quat_Slerp.
std::string BitsCases_CheckRotations();
// Blend_Vertex and Blend_Tag; the vertex blend needs the normal table.
std::string BitsCases_CheckBlends();

// The first tag blend, for drawing: the parent's tag turns from the
// identity to a quarter turn about z and moves between two origins.
struct TagBlendCase {
    const float *axis_a;   // nine floats, rows
    float origin_a[3];
    const float *axis_b;
    float origin_b[3];
    float fraction;
    float placement[16];   // column-major, as GL takes it
};
const TagBlendCase &BitsCases_QuarterTurn();

#endif
