#include "playback.h"

#include <algorithm>
#include <cmath>

namespace {

const double fastest = 8.0;
const double slowest = 1.0 / 8.0;
// A time this close to a frame boundary, in frames, is on it: k / fps times
// fps need not give k back exactly.
const double boundary_tolerance = 1e-6;

} // namespace

void Playback_Start(Playback *playback) {
    playback->seconds = 0.0;
    playback->speed = 1.0;
    playback->paused = 0;
    playback->interpolate = 1;
}

void Playback_Advance(Playback *playback, double real_seconds) {
    if (!playback->paused && real_seconds > 0.0)
        playback->seconds += real_seconds * playback->speed;
}

void Playback_Faster(Playback *playback) {
    playback->speed = std::min(playback->speed * 2.0, fastest);
}

void Playback_Slower(Playback *playback) {
    playback->speed = std::max(playback->speed * 0.5, slowest);
}

void Playback_Step(Playback *playback, int direction, int fps) {
    if (!playback->paused || fps <= 0 || direction == 0)
        return;
    double frames = playback->seconds * fps;
    double nearest = std::round(frames);
    double frame;
    if (std::fabs(frames - nearest) <= boundary_tolerance)
        frame = nearest + (direction > 0 ? 1.0 : -1.0);
    else
        frame = direction > 0 ? std::ceil(frames) : std::floor(frames);
    playback->seconds = std::max(frame, 0.0) / fps;
}
