// The viewport and the perspective projection that follow the client size.
#ifndef VIEWER_VIEW_H
#define VIEWER_VIEW_H

// Viewport and 90-degree perspective for a client of width x height pixels
// (a height of 0 counts as 1); leaves GL_MODELVIEW selected with the
// identity loaded.
void View_Resize(int width, int height);

#endif
