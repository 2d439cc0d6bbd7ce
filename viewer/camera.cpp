#include "camera.h"

#include <algorithm>
#include <cmath>

namespace {

const double pi = 3.14159265358979323846;
const double degrees_per_pixel = 0.5;
const double pitch_limit = 89.0;
const double zoom_per_step = 0.9;
// Zoom reaches this factor of the framing distance either way.
const double zoom_range = 20.0;
// The box takes this share of the viewport's height, at the target's depth.
const double frame_share = 2.0 / 3.0;
// Below this an empty or flat box would put the eye on the target.
const double least_frame_distance = 1.0;

double radians(double degrees) {
    return degrees * (pi / 180.0);
}

// The eye's axes in model space: right (eye x), up (eye y) and back (eye z,
// from the target towards the eye). Right has no z, so the view never rolls.
void eye_axes(const CameraView &view, double right[3], double up[3], double back[3]) {
    double yaw = radians(view.yaw), pitch = radians(view.pitch);
    double cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch), sp = std::sin(pitch);
    right[0] = -sy, right[1] = cy, right[2] = 0.0;
    up[0] = -sp * cy, up[1] = -sp * sy, up[2] = cp;
    back[0] = cp * cy, back[1] = cp * sy, back[2] = sp;
}

double finite_or_zero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

void Camera_Frame(Camera *camera, const double mins[3], const double maxs[3], double fov_y_degrees) {
    CameraView view = CameraView();
    double extent[3];
    for (int i = 0; i < 3; i++) {
        view.target[i] = finite_or_zero((mins[i] + maxs[i]) * 0.5);
        extent[i] = maxs[i] - mins[i];
        if (!(extent[i] > 0.0 && std::isfinite(extent[i])))
            extent[i] = 0.0;
    }
    // The eye looks along -x. The box's height (or width, when wider) takes
    // the share of the view in the plane through the target: a figure is
    // framed by its body, not by a weapon held out towards the eye. The eye
    // stays outside the box all the same.
    double size = std::max(extent[2], extent[1]);
    double half_view = std::tan(radians(fov_y_degrees) * 0.5);
    double distance = extent[0] * 0.5 + least_frame_distance;
    if (half_view > 0.0 && std::isfinite(half_view))
        distance = std::max(distance, size / (2.0 * frame_share * half_view));
    view.distance = std::max(distance, least_frame_distance);
    camera->view = view;
    camera->home = view;
    camera->min_distance = view.distance / zoom_range;
    camera->max_distance = view.distance * zoom_range;
}

void Camera_Home(Camera *camera) {
    camera->view = camera->home;
}

void Camera_Orbit(Camera *camera, double dx_pixels, double dy_pixels) {
    CameraView &view = camera->view;
    // Dragging right carries the model's front to the right, which moves the
    // eye the other way about z; the yaw stays within one turn.
    view.yaw = std::remainder(view.yaw - dx_pixels * degrees_per_pixel, 360.0);
    view.pitch = std::clamp(view.pitch + dy_pixels * degrees_per_pixel, -pitch_limit, pitch_limit);
}

void Camera_Zoom(Camera *camera, double steps) {
    double distance = camera->view.distance * std::pow(zoom_per_step, steps);
    camera->view.distance = std::clamp(distance, camera->min_distance, camera->max_distance);
}

void Camera_Pan(Camera *camera, double dx_pixels, double dy_pixels, int viewport_height, double fov_y_degrees) {
    CameraView &view = camera->view;
    double right[3], up[3], back[3];
    eye_axes(view, right, up, back);
    // Model units a pixel at the target's depth.
    double per_pixel = 2.0 * view.distance * std::tan(radians(fov_y_degrees) * 0.5) / std::max(viewport_height, 1);
    for (int i = 0; i < 3; i++)
        view.target[i] += (up[i] * dy_pixels - right[i] * dx_pixels) * per_pixel;
}

void Camera_ModelView(const Camera *camera, double matrix[16]) {
    const CameraView &view = camera->view;
    double axes[3][3];
    eye_axes(view, axes[0], axes[1], axes[2]);
    double eye[3];
    for (int i = 0; i < 3; i++)
        eye[i] = view.target[i] + axes[2][i] * view.distance;
    // Row r of the rotation is eye axis r; the translation takes the eye to
    // the origin.
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 3; c++)
            matrix[c * 4 + r] = axes[r][c];
        matrix[12 + r] = -(axes[r][0] * eye[0] + axes[r][1] * eye[1] + axes[r][2] * eye[2]);
        matrix[r * 4 + 3] = 0.0;
    }
    matrix[15] = 1.0;
}
