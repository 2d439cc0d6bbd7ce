#include "window.h"

#include "shell.h"

int Window_Create(HINSTANCE instance, const char *class_name, const char *title, int width, int height,
                  WNDPROC procedure, int white_background) {
    WNDCLASSA window_class;
    window_class.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    window_class.lpfnWndProc = procedure;
    window_class.cbClsExtra = 0;
    window_class.cbWndExtra = 0;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(NULL, IDI_WINLOGO);
    window_class.hCursor = LoadCursorA(NULL, IDC_ARROW);
    window_class.hbrBackground = white_background ? reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)) : NULL;
    window_class.lpszMenuName = NULL;
    window_class.lpszClassName = class_name;
    if (!RegisterClassA(&window_class))
        return 0;

    RECT rectangle = {0, 0, width, height};
    AdjustWindowRect(&rectangle, WS_OVERLAPPEDWINDOW, FALSE);
    main_window = CreateWindowExA(0, class_name, title, WS_CLIPSIBLINGS | WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, rectangle.right - rectangle.left, rectangle.bottom - rectangle.top,
                                  NULL, NULL, instance, NULL);
    return main_window != NULL;
}
