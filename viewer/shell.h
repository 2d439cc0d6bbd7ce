// Globals of the viewer's shell, shared by main, context and scene.
#ifndef VIEWER_SHELL_H
#define VIEWER_SHELL_H

#ifdef _WIN32
#include <windows.h>
#endif

// Client size in pixels, 640 x 480 until the first WM_SIZE (main.cpp).
extern int window_width;
extern int window_height;

// Last frame-rate text, empty until the first measurement (main.cpp).
extern char fps_text[256];

#ifdef _WIN32
extern HWND main_window;       // main.cpp
extern HDC device_context;     // context.cpp
extern HGLRC render_context;   // context.cpp
#endif

#endif
