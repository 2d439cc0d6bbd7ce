// The frame rate over windows of frames, from high-resolution counter
// readings that the caller takes (QueryPerformanceCounter on Windows).
#ifndef VIEWER_FPS_H
#define VIEWER_FPS_H

#include <cstddef>
#include <cstdint>

// One measurement under way; the caller owns it. Start it with no frames
// counted and window_start at a counter reading.
struct FpsState {
    int frame_count;
    int64_t window_start;
};

// Counts a frame. 0 until the window holds 21 frames; on the 21st, `text`
// gets the rate over the window, frames / ((now - window_start) / frequency)
// as "FPS: %0.1f", the count starts again and the result is 1: the caller
// then sets window_start to a fresh reading, so the time this call takes
// belongs to no window. With frequency or elapsed counts not above zero the
// rate is undefined and `text` keeps what it held.
int Fps_Step(FpsState *state, int64_t now, int64_t frequency, char *text, size_t text_size);

#endif
