// tga_example: the entry point and the window; its OpenGL context is the
// viewer's (Context_Create). The picture does not change, so it is drawn
// when Windows asks for it.
#include <windows.h>

#include "context.h"
#include "example_scene.h"
#include "shell.h"
#include "window.h"

static int client_width = 640;
static int client_height = 480;
HWND main_window = NULL;

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        client_width = int(LOWORD(lParam));
        client_height = int(HIWORD(lParam));
        InvalidateRect(window, NULL, FALSE);
        return 0;
    case WM_PAINT:
        // Before the context exists there is nothing to draw with.
        if (render_context) {
            Example_Draw(client_width, client_height);
            SwapBuffers(device_context);
        }
        ValidateRect(window, NULL);
        return 0;
    case WM_ERASEBKGND:
        return 1;   // GL paints every pixel
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    (void)previous;
    (void)command_line;
    (void)show;

    if (!Window_Create(instance, "tga_example", "tga example", client_width, client_height, WndProc, 0))
        return 1;

    int exit_code = 1;
    if (Context_Create()) {
        Example_Load();
        ShowWindow(main_window, SW_SHOW);
        SetForegroundWindow(main_window);
        MSG message;
        while (GetMessageA(&message, NULL, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        exit_code = int(message.wParam);
    }

    Context_Destroy();
    DestroyWindow(main_window);
    return exit_code;
}
