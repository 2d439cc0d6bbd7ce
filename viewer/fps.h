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

// Counts a presented frame: 1 when it is the 21st of the window, and the
// caller then reads the counter for Fps_Measure; 0 before, so that the
// counter is read once a window.
int Fps_Count(FpsState *state);

// Ends the window at `now`: `text` gets the rate over it, frames / ((now -
// window_start) / frequency) as "FPS: %0.1f", and the count starts again.
// The caller then sets window_start to a fresh reading, so the time this
// takes belongs to no window. With frequency or elapsed counts not above
// zero the rate is undefined and `text` keeps what it held.
void Fps_Measure(FpsState *state, int64_t now, int64_t frequency, char *text, size_t text_size);

#endif
