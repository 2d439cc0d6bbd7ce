// The viewer's entry point: the window, the idle-time loop and the counter
// readings that the frame rate (fps.h) is measured from.
#include <cstdlib>
#include <string>
#include <vector>

#include "context.h"
#include "fps.h"
#include "game_scene.h"
#include "scene.h"
#include "shell.h"
#include "view.h"

// The shell's globals (shell.h).
int window_width = 640;
int window_height = 480;
HWND main_window = NULL;
char fps_text[256];

// The frame-rate measurement's own.
static FpsState fps_state = {0, 0};
static LARGE_INTEGER timer_frequency;

// The high-resolution counter now.
static int64_t counter_now(void) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
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
        if (wParam == VK_ESCAPE)
            PostQuitMessage(0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    (void)previous;
    (void)command_line;
    (void)show;

    WNDCLASSA window_class;
    window_class.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    window_class.lpfnWndProc = WndProc;
    window_class.cbClsExtra = 0;
    window_class.cbWndExtra = 0;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(NULL, IDI_WINLOGO);
    window_class.hCursor = LoadCursorA(NULL, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszMenuName = NULL;
    window_class.lpszClassName = "OpenGL";
    // Without a class or a window there is nothing to draw into; a null
    // window would even hand the screen's device context to GL.
    if (!RegisterClassA(&window_class))
        return 1;

    RECT rectangle = {0, 0, window_width, window_height};
    AdjustWindowRect(&rectangle, WS_OVERLAPPEDWINDOW, FALSE);
    main_window = CreateWindowExA(0, "OpenGL", "OpenGL", WS_CLIPSIBLINGS | WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, rectangle.right - rectangle.left,
                                  rectangle.bottom - rectangle.top, NULL, NULL, instance, NULL);
    if (main_window == NULL)
        return 1;
    ShowWindow(main_window, SW_SHOW);
    SetForegroundWindow(main_window);

    // A path on the command line shows that model from the game data; with
    // none, the fixed scene from the current folder.
    std::vector<std::string> args(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
    int64_t model_start = 0;

    // A failed start-up has no quit message to take its code from.
    int exit_code = 1;
    if (Context_Create()) {
        View_Resize(window_width, window_height);
        if (args.empty()) {
            Scene_Init();
        } else {
            GameScene_Init(args);
            model_start = counter_now();
        }
        MSG message;
        for (;;) {
            if (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT)
                    break;
                TranslateMessage(&message);
                DispatchMessageA(&message);
            } else {
                if (args.empty())
                    Scene_Render();
                else
                    GameScene_Render(double(counter_now() - model_start) / double(timer_frequency.QuadPart));
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
