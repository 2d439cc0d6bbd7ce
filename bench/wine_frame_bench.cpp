// Frame time of the viewer's own drawing under Wine, next to an empty
// clear-and-swap loop in the same window and context:
//   wine_frame_bench [FRAMES [GAME MODEL]]   (run in the directory with the sample files)
// It makes the viewer's 640 x 480 window and context (Context_Create,
// View_Resize), times FRAMES frames of glClear + SwapBuffers, then calls
// Scene_Init and times FRAMES frames of Scene_Render + SwapBuffers, then the
// clear loop once more, each with QueryPerformanceCounter, and prints the
// milliseconds per frame. Given a game folder and a player model, it then
// times that model as the viewer shows it (every shader stage, the weapon,
// the animation running), without and with the wireframe over it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <GL/gl.h>

#include "context.h"
#include "game_scene.h"
#include "scene.h"
#include "shell.h"
#include "view.h"
#include "window.h"

int window_width = 640;
int window_height = 480;
HWND main_window = NULL;
char fps_text[256];

namespace {

LRESULT CALLBACK bench_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SIZE) {
        window_width = int(LOWORD(lparam));
        window_height = int(HIWORD(lparam));
        View_Resize(window_width, window_height);
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void pump_messages() {
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The model's frames, 1/60 s of animation apart.
void game_frame() {
    GameScene_Render(1.0 / 60);
}

void clear_frame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Milliseconds per frame over `frames` frames, after a few unmeasured ones.
double time_frames(void (*draw)(), int frames) {
    for (int i = 0; i < 10; ++i) {
        pump_messages();
        draw();
        SwapBuffers(device_context);
    }
    glFinish();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < frames; ++i) {
        pump_messages();
        draw();
        SwapBuffers(device_context);
    }
    glFinish();
    QueryPerformanceCounter(&end);
    return 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) / frames;
}

}  // namespace

int main(int argc, char **argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : 200;
    if (frames <= 0)
        frames = 200;
    HINSTANCE instance = GetModuleHandleA(NULL);
    if (!Window_Create(instance, "OpenGL", "OpenGL", window_width, window_height, bench_window_proc, 0))
        return 1;
    ShowWindow(main_window, SW_SHOW);
    if (!Context_Create())
        return 1;
    View_Resize(window_width, window_height);
    pump_messages();
    // The text the viewer shows once it has measured a rate.
    std::strcpy(fps_text, "FPS: 100.0");

    std::printf("renderer: %s\n", reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
    std::printf("client: %d x %d, frames per loop: %d\n", window_width, window_height, frames);
    double clear_before = time_frames(clear_frame, frames);
    Scene_Init();
    std::printf("model: %d + %d + %d + %d surfaces\n", lower_model.header.num_surfaces,
                upper_model.header.num_surfaces, head_model.header.num_surfaces,
                weapon_model.header.num_surfaces);
    double scene = time_frames(Scene_Render, frames);
    double clear_after = time_frames(clear_frame, frames);
    std::printf("clear_swap_ms %.4f\n", (clear_before + clear_after) / 2.0);
    std::printf("scene_ms %.4f\n", scene);
    if (argc > 3) {
        if (!GameScene_Init({argv[2], argv[3]}))
            return 1;
        std::printf("game_ms %.4f\n", time_frames(game_frame, frames));
        GameScene_Action(ACTION_WIREFRAME);
        std::printf("game_wireframe_ms %.4f\n", time_frames(game_frame, frames));
    }
    std::fflush(stdout);
    Context_Destroy();
    DestroyWindow(main_window);
    return 0;
}
