// The top-level window that the viewer, the example and the frame benchmark
// draw into.
#ifndef VIEWER_WINDOW_H
#define VIEWER_WINDOW_H

#include <windows.h>

// Registers the window class `class_name` (own device context, redrawn on
// resizing, the default icon and arrow, a white background unless
// `white_background` is 0) with `procedure`, and makes an overlapped window
// of that class titled `title` whose client area is width x height pixels;
// main_window (shell.h) is set to it. It is not shown yet. 1, or 0 when the
// class or the window cannot be made: without them there is nothing to draw
// into, and a null window would hand the screen's device context to GL.
int Window_Create(HINSTANCE instance, const char *class_name, const char *title, int width, int height,
                  WNDPROC procedure, int white_background);

#endif
