// The window's OpenGL rendering context.
#ifndef VIEWER_CONTEXT_H
#define VIEWER_CONTEXT_H

// Gives main_window a double-buffered RGBA context and makes it current.
// 1 on success; 0 after an "ERROR" message box has said which step failed.
int Context_Create(void);

// Releases the context and the device context (also after a failed create).
void Context_Destroy(void);

#endif
