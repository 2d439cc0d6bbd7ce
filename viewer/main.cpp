// The viewer's entry point: the window, the idle-time loop and the counter
// readings that the frame rate (fps.h) is measured from.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "context.h"
#include "fps.h"
#include "game_scene.h"
#include "options.h"
#include "scene.h"
#include "shell.h"
#include "view.h"
#include "window.h"

// The shell's globals (shell.h).
int window_width = 640;
int window_height = 480;
HWND main_window = NULL;
char fps_text[256];

// The frame-rate measurement's own.
static FpsState fps_state = {0, 0};
static LARGE_INTEGER timer_frequency;

// A model given on the command line: keys, the mouse and drops act on it.
// Without one the viewer answers Esc alone.
static int model_given = 0;

// The mouse button being dragged (0 left, 1 right, 2 middle; -1 none) and
// where it was last.
static int drag_button = -1;
static POINT drag_from;

// The high-resolution counter now.
static int64_t counter_now(void) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// A path Windows gives in UTF-16, as the game data's readers take paths.
static std::string utf8_of(const wchar_t *path) {
    int size = WideCharToMultiByte(CP_UTF8, 0, path, -1, NULL, 0, NULL, NULL);
    if (size <= 1)
        return std::string();
    std::string text(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path, -1, &text[0], size, NULL, NULL);
    text.resize(size_t(size - 1));
    return text;
}

// The title names what is shown; an action may have changed it.
static void retitle(void) {
    SetWindowTextA(main_window, GameScene_Title().c_str());
}

// --screenshot: one frame of the model, or of each player model into a
// folder, written without the lines over it. 0 when every file was written.
static int take_screenshots(const ViewerOptions &options, int shown) {
    if (!options.all) {
        if (!shown)
            return 1;
        GameScene_DrawModel();
        return GameScene_SaveScreen(options.screenshot) ? 0 : 1;
    }
    std::vector<std::string> models = GameScene_PlayerModels();
    if (models.empty()) {
        std::fprintf(stderr, "viewer: no player models for --all\n");
        return 1;
    }
    // The folder may be there already.
    CreateDirectoryA(options.screenshot.c_str(), NULL);
    int status = 0;
    for (const std::string &model : models) {
        if (!GameScene_ShowPlayer(model)) {
            status = 1;
            continue;
        }
        GameScene_DrawModel();
        if (!GameScene_SaveScreen(options.screenshot + "/" + model + ".tga"))
            status = 1;
    }
    return status;
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        QueryPerformanceFrequency(&timer_frequency);
        fps_state.window_start = counter_now();
        break;
    case WM_SIZE:
        window_width = int(LOWORD(lParam));
        window_height = int(HIWORD(lParam));
        View_Resize(window_width, window_height);
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            PostQuitMessage(0);
        } else if (model_given) {
            GameScene_Action(Input_ActionOfKey(int(wParam)));
            retitle();
        }
        break;
    case WM_CHAR:
        if (model_given) {
            GameScene_Action(Input_ActionOfChar(unsigned(wParam)));
            retitle();
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (model_given) {
            drag_button = message == WM_LBUTTONDOWN ? 0 : message == WM_RBUTTONDOWN ? 1 : 2;
            drag_from.x = GET_X_LPARAM(lParam);
            drag_from.y = GET_Y_LPARAM(lParam);
            SetCapture(window);
        }
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (drag_button >= 0) {
            drag_button = -1;
            ReleaseCapture();
        }
        break;
    case WM_MOUSEMOVE:
        if (drag_button >= 0) {
            int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
            GameScene_Drag(drag_button, x - drag_from.x, y - drag_from.y);
            drag_from.x = x;
            drag_from.y = y;
        }
        break;
    case WM_MOUSEWHEEL:
        if (model_given)
            GameScene_Wheel(double(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA);
        break;
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        wchar_t path[MAX_PATH];
        if (model_given && DragQueryFileW(drop, 0, path, MAX_PATH) > 0) {
            GameScene_Open(utf8_of(path));
            retitle();
        }
        DragFinish(drop);
        break;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    (void)previous;
    (void)command_line;
    (void)show;

    // A path on the command line shows that model from the game data; with
    // none, the fixed scene from the current folder.
    std::vector<std::string> args(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
    ViewerOptions options;
    std::vector<std::string> model_args;
    char usage[options_reason_size] = "";
    if (!ViewerOptions_Parse(args, &options, &model_args, usage)) {
        std::fprintf(stderr, "viewer: %s\n", usage);
        return 2;
    }
    if (options.has_size) {
        window_width = options.width;
        window_height = options.height;
    }
    model_given = !model_args.empty();
    int64_t last_frame = 0;

    if (!Window_Create(instance, "OpenGL", "OpenGL", window_width, window_height, WndProc, 1))
        return 1;
    ShowWindow(main_window, SW_SHOW);
    SetForegroundWindow(main_window);


    // A failed start-up has no quit message to take its code from.
    int exit_code = 1;
    if (Context_Create()) {
        View_Resize(window_width, window_height);
        if (!model_given) {
            Scene_Init();
        } else {
            int shown = GameScene_Init(model_args);
            retitle();
            if (!options.screenshot.empty()) {
                exit_code = take_screenshots(options, shown);
                Context_Destroy();
                DestroyWindow(main_window);
                return exit_code;
            }
            DragAcceptFiles(main_window, TRUE);
            last_frame = counter_now();
        }
        MSG message;
        for (;;) {
            if (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT)
                    break;
                TranslateMessage(&message);
                DispatchMessageA(&message);
            } else {
                if (!model_given) {
                    Scene_Render();
                } else {
                    int64_t now = counter_now();
                    GameScene_Render(double(now - last_frame) / double(timer_frequency.QuadPart));
                    last_frame = now;
                }
                SwapBuffers(device_context);
                if (Fps_Count(&fps_state)) {
                    Fps_Measure(&fps_state, counter_now(), timer_frequency.QuadPart, fps_text, sizeof fps_text);
                    fps_state.window_start = counter_now();
                }
            }
        }
        exit_code = int(message.wParam);
    }

    Context_Destroy();
    DestroyWindow(main_window);
    return exit_code;
}
