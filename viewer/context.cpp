#include "context.h"

#include "shell.h"

#include <GL/gl.h>

HDC device_context = NULL;
HGLRC render_context = NULL;

static int report_failure(const char *message) {
    MessageBoxA(main_window, message, "ERROR", MB_OK);
    return 0;
}

int Context_Create(void) {
    PIXELFORMATDESCRIPTOR request;
    ZeroMemory(&request, sizeof request);
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    request.cDepthBits = 24;
    request.iLayerType = PFD_MAIN_PLANE;

    device_context = GetDC(main_window);
    int format = ChoosePixelFormat(device_context, &request);
    if (format == 0)
        return report_failure("ChoosePixelFormat Failed.");
    if (!SetPixelFormat(device_context, format, &request))
        return report_failure("SetPixelFormat Failed.");
    render_context = wglCreateContext(device_context);
    if (render_context == NULL)
        return report_failure("wglCreateContext Failed.");
    if (!wglMakeCurrent(device_context, render_context))
        return report_failure("wglMakeCurrent Failed.");
    return 1;
}

void Context_Destroy(void) {
    // After a failed create some of these are null; the calls then fail
    // harmlessly.
    wglMakeCurrent(NULL, NULL);
    wglDeleteContext(render_context);
    ReleaseDC(main_window, device_context);
}
