#include "fps.h"

#include <cstdio>

// Frames in one measuring window are counted up to this many before the
// next one measures it.
const int fps_window_frames = 20;

int Fps_Count(FpsState *state) {
    state->frame_count += 1;
    return state->frame_count > fps_window_frames;
}

void Fps_Measure(FpsState *state, int64_t now, int64_t frequency, char *text, size_t text_size) {
    int64_t elapsed = now - state->window_start;
    if (frequency > 0 && elapsed > 0) {
        double seconds = double(elapsed) / double(frequency);
        std::snprintf(text, text_size, "FPS: %0.1f", double(state->frame_count) / seconds);
    }
    state->frame_count = 0;
}
