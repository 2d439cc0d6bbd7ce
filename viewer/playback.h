// The animation clock: time that runs at a speed, pauses, and steps frame
// by frame while paused.
#ifndef VIEWER_PLAYBACK_H
#define VIEWER_PLAYBACK_H

struct Playback {
    double seconds;     // animation time
    double speed;       // 1/8 .. 8, powers of two
    int paused;
    int interpolate;    // 1: frames blend; 0: each frame held
};

// 0 s, speed 1, running, interpolating.
void Playback_Start(Playback *playback);

// seconds += real_seconds * speed unless paused; a reading that went back
// (real_seconds below 0) moves nothing.
void Playback_Advance(Playback *playback, double real_seconds);

// Speed x2, at most 8.
void Playback_Faster(Playback *playback);

// Speed /2, at least 1/8.
void Playback_Slower(Playback *playback);

// While paused: to the next (direction +1) or previous (-1) frame boundary
// of an animation at `fps` frames a second. seconds becomes exactly
// double(k) / fps for the neighbouring k (from between two boundaries,
// forward goes to the next, back to the previous one), never below 0; a
// time within a millionth of a frame of a boundary counts as on it. fps <= 0
// or a direction of 0 leaves it; so does running.
void Playback_Step(Playback *playback, int direction, int fps);

#endif
