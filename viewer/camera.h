// The orbiting camera, without GL: a view of a model-space point from a
// yaw, pitch and distance, and the mouse gestures that change it.
// Model space has +z up with the model facing +x; eye space is GL's (the eye
// looks down -z, +y up, +x right).
#ifndef VIEWER_CAMERA_H
#define VIEWER_CAMERA_H

struct CameraView {
    double target[3];   // the orbit centre, model space
    double yaw;         // degrees about model +z; 0: the model's +x points at the viewer (it faces us)
    double pitch;       // degrees; positive looks down on the model from above; kept within [-89, 89]
    double distance;    // eye to target, model units
};

struct Camera {
    CameraView view;    // now
    CameraView home;    // the first view, which Home returns to
    double min_distance, max_distance;   // zoom limits, set by Camera_Frame from the model's size
};

// Frames a box in model space: upright, facing the viewer, target at the
// box centre, the box's near face two thirds of the viewport high for a
// vertical field of view of fov_y_degrees (its width counts instead where it
// is the larger, so that a wide or flat box fits too). Sets home to that view
// and the zoom limits to 1/20 and 20 times its distance, which is never below
// one model unit, even for an empty or flat box.
void Camera_Frame(Camera *camera, const double mins[3], const double maxs[3], double fov_y_degrees);

// view = home.
void Camera_Home(Camera *camera);

// A left drag: dx turns about model z (the front follows the mouse), dy
// tilts (down looks from above), half a degree a pixel; the pitch stays
// within [-89, 89] and the distance is kept.
void Camera_Orbit(Camera *camera, double dx_pixels, double dy_pixels);

// Wheel notches, fractional for a right drag; positive comes closer, by
// 0.9 a notch, within the zoom limits.
void Camera_Zoom(Camera *camera, double steps);

// A middle drag (screen y grows downwards): moves the target in the eye's
// plane so that a point at the target's depth follows the cursor, for a
// viewport that high (0 counts as 1) and that field of view.
void Camera_Pan(Camera *camera, double dx_pixels, double dy_pixels, int viewport_height, double fov_y_degrees);

// Model space to eye space, column-major for glLoadMatrixd.
void Camera_ModelView(const Camera *camera, double matrix[16]);

#endif
