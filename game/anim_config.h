// animation.cfg of player models: a few keywords, then one row per
// animation of first frame, frame count, looping frames and frames per
// second; and the frame shown at a time into an animation.
#ifndef GAME_ANIM_CONFIG_H
#define GAME_ANIM_CONFIG_H

#include <cstddef>
#include <string>

#include "text_scan.h"

// The rows in file order.
enum AnimId {
    ANIM_BOTH_DEATH1, ANIM_BOTH_DEAD1, ANIM_BOTH_DEATH2, ANIM_BOTH_DEAD2, ANIM_BOTH_DEATH3, ANIM_BOTH_DEAD3,
    ANIM_TORSO_GESTURE, ANIM_TORSO_ATTACK, ANIM_TORSO_ATTACK2, ANIM_TORSO_DROP, ANIM_TORSO_RAISE,
    ANIM_TORSO_STAND, ANIM_TORSO_STAND2,
    ANIM_LEGS_WALKCR, ANIM_LEGS_WALK, ANIM_LEGS_RUN, ANIM_LEGS_BACK, ANIM_LEGS_SWIM, ANIM_LEGS_JUMP,
    ANIM_LEGS_LAND, ANIM_LEGS_JUMPB, ANIM_LEGS_LANDB, ANIM_LEGS_IDLE, ANIM_LEGS_IDLECR, ANIM_LEGS_TURN
};
const int anim_count = 25;

// "BOTH_DEATH1" .. "LEGS_TURN", by AnimId.
extern const char *const anim_names[anim_count];

// The AnimId of a name given without regard to case; -1 for none.
int Anim_Find(const char *name);

// Frame numbers and counts above this are refused: far beyond any model
// (an MD3 file holds at most 1024 frames) but small enough that sums stay
// exact in int and double.
const long anim_max_frames = 100000;
// Frames per second above this are refused.
const long anim_max_fps = 1000;

struct AnimRow {
    int first;     // as used: the legs' rows already lowered
    int count;
    int looping;
    int fps;       // may be 0 or negative: such a row holds its first frame
};

struct AnimConfig {
    char sex;                // 'm', 'f' or 'n'; 'm' when not given
    double head_offset[3];   // 0 0 0 when not given
    std::string footsteps;   // "" when not given
    int fixed_legs;
    int fixed_torso;
    int rows_read;           // rows given in the file, at most anim_count
    AnimRow rows[anim_count];
    TextFaults faults;
};

// Reads an animation config from text .. text + size into *config. Rows
// that are missing or at fault hold frame 0 with no frames at all (first,
// count, looping and fps 0), which Anim_FrameAt shows as frame 0. Every
// LEGS_ row read is lowered by (first of LEGS_WALKCR - first of
// TORSO_GESTURE), the rows counting as if the torso-only frames came before
// the legs' own; a row that this would take below frame 0 is a fault.
// Rows past the 25th (the ones some games add) are read and not kept.
// Returns 1 when the text read cleanly, 0 with the first fault in reason
// (game_text_reason_size bytes, null: not wanted) and all in faults.
int AnimConfig_Parse(const char *text, size_t size, AnimConfig *config, char *reason);

// The frames shown at a time into an animation: frame, the one it moves
// towards, and how far it has moved (0 <= fraction < 1).
struct AnimFrame {
    int frame;
    int next;
    double fraction;
};

// The frames at `seconds` into the row's animation (negative, infinite and
// NaN times count as 0; rows as AnimConfig_Parse gives them). With
// p = seconds x fps: a row with no frames or no positive rate
// holds its first frame; within the first pass the position is p; past it
// a looping row (looping taken as at most count) repeats its last looping
// frames, and a row that does not loop holds its last frame. The frame
// after the last is the loop's first, or the last itself.
AnimFrame Anim_FrameAt(const AnimRow *row, double seconds);

#endif
