// The sample figure's geometry and its MD3 pieces; see sample_figure.h.
#include "sample_figure.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const double pi = sample_figure_pi;

struct Vec3 {
    float x, y, z;
};

Vec3 vec(double x, double y, double z) { return Vec3{float(x), float(y), float(z)}; }
Vec3 add(Vec3 a, Vec3 b) { return vec(a.x + b.x, a.y + b.y, a.z + b.z); }
Vec3 sub(Vec3 a, Vec3 b) { return vec(a.x - b.x, a.y - b.y, a.z - b.z); }
Vec3 scale(Vec3 a, double s) { return vec(a.x * s, a.y * s, a.z * s); }
double dot(Vec3 a, Vec3 b) { return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z; }
Vec3 cross(Vec3 a, Vec3 b) {
    return vec(double(a.y) * b.z - double(a.z) * b.y, double(a.z) * b.x - double(a.x) * b.z,
             double(a.x) * b.y - double(a.y) * b.x);
}
Vec3 normalize(Vec3 a) {
    double length = std::sqrt(dot(a, a));
    return length > 0.0 ? scale(a, 1.0 / length) : a;
}

// A rigid placement: p' = m p + o, m row-major and orthonormal.
struct Xform {
    double m[9];
    Vec3 o;
};

Xform identity() { return Xform{{1, 0, 0, 0, 1, 0, 0, 0, 1}, vec(0, 0, 0)}; }

Xform translate(double x, double y, double z) {
    Xform t = identity();
    t.o = vec(x, y, z);
    return t;
}

Xform rot_y(double degrees) {
    double a = degrees * pi / 180.0, c = std::cos(a), s = std::sin(a);
    return Xform{{c, 0, s, 0, 1, 0, -s, 0, c}, vec(0, 0, 0)};
}

Xform rot_z(double degrees) {
    double a = degrees * pi / 180.0, c = std::cos(a), s = std::sin(a);
    return Xform{{c, -s, 0, s, c, 0, 0, 0, 1}, vec(0, 0, 0)};
}

Vec3 turn(const Xform &t, Vec3 v) {
    return vec(t.m[0] * v.x + t.m[1] * v.y + t.m[2] * v.z, t.m[3] * v.x + t.m[4] * v.y + t.m[5] * v.z,
             t.m[6] * v.x + t.m[7] * v.y + t.m[8] * v.z);
}

Vec3 place(const Xform &t, Vec3 p) { return add(turn(t, p), t.o); }

// a then b applied to a point: compose(a, b) p = a (b p).
Xform compose(const Xform &a, const Xform &b) {
    Xform r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r.m[3 * row + col] = a.m[3 * row] * b.m[col] + a.m[3 * row + 1] * b.m[3 + col] +
                                 a.m[3 * row + 2] * b.m[6 + col];
    r.o = place(a, b.o);
    return r;
}

// The tag record for a child frame placed by t: child point p lands at
// origin + p.x axis[0] + p.y axis[1] + p.z axis[2], so axis row k is t's
// column k.
Md3Tag tag_of(const char *name, const Xform &t) {
    float origin[3] = {t.o.x, t.o.y, t.o.z};
    float axis[9];
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 3; ++c)
            axis[3 * k + c] = float(t.m[3 * c + k]);
    return Md3Writer_Tag(name, origin, axis);
}

// One frame of one surface's geometry. Every frame of a surface is built by
// the same calls, so the vertex order and the triangles agree.
struct Geo {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Md3TexCoord> texcoords;
    std::vector<Md3Triangle> triangles;
};

int add_vertex(Geo &g, Vec3 p, Vec3 n, double s, double t) {
    g.positions.push_back(p);
    g.normals.push_back(normalize(n));
    g.texcoords.push_back(Md3TexCoord{float(s), float(t)});
    return int(g.positions.size()) - 1;
}

void add_triangle(Geo &g, int a, int b, int c) { g.triangles.push_back(Md3Triangle{{a, b, c}}); }

void add_quad(Geo &g, int a, int b, int c, int d) {
    add_triangle(g, a, b, c);
    add_triangle(g, a, c, d);
}

// A box with half sizes h around centre c, in frame t; flat faces.
void add_box(Geo &g, const Xform &t, Vec3 c, Vec3 h) {
    static const int axes[6][3] = {{0, 1, 2}, {0, 1, 2}, {1, 2, 0}, {1, 2, 0}, {2, 0, 1}, {2, 0, 1}};
    for (int face = 0; face < 6; ++face) {
        double sign = face % 2 ? -1.0 : 1.0;
        int n_axis = axes[face][0], u_axis = axes[face][1], v_axis = axes[face][2];
        double half[3] = {h.x, h.y, h.z};
        double normal[3] = {0, 0, 0};
        normal[n_axis] = sign;
        int corner[4];
        static const double us[4] = {-1, 1, 1, -1}, vs[4] = {-1, -1, 1, 1};
        for (int k = 0; k < 4; ++k) {
            double p[3];
            p[n_axis] = sign * half[n_axis];
            p[u_axis] = us[k] * half[u_axis];
            p[v_axis] = vs[k] * half[v_axis];
            Vec3 local = add(c, vec(p[0], p[1], p[2]));
            // The skins repeat every 8 units.
            double s = (us[k] + 1.0) * half[u_axis] / 8.0, tt = (vs[k] + 1.0) * half[v_axis] / 8.0;
            corner[k] = add_vertex(g, place(t, local), turn(t, vec(normal[0], normal[1], normal[2])), s, tt);
        }
        add_quad(g, corner[0], corner[1], corner[2], corner[3]);
    }
}

// Two unit vectors perpendicular to the unit vector `axis` and to each other.
void perpendiculars(Vec3 axis, Vec3 *u, Vec3 *v) {
    Vec3 helper = std::fabs(axis.z) < 0.9f ? vec(0, 0, 1) : vec(1, 0, 0);
    *u = normalize(cross(helper, axis));
    *v = cross(axis, *u);
}

// A (possibly tapered) round tube from p0 (radius r0) to p1 (radius r1),
// closed by flat caps.
void add_tube(Geo &g, const Xform &t, Vec3 p0, Vec3 p1, double r0, double r1, int segments) {
    Vec3 axis = normalize(sub(p1, p0));
    double length = std::sqrt(dot(sub(p1, p0), sub(p1, p0)));
    Vec3 u, v;
    perpendiculars(axis, &u, &v);
    // The side leans by the taper so that its normals stay perpendicular.
    double lean = (r0 - r1) / (length > 0 ? length : 1);
    int first = int(g.positions.size());
    for (int i = 0; i <= segments; ++i) {
        double angle = 2.0 * pi * i / segments;
        Vec3 radial = add(scale(u, std::cos(angle)), scale(v, std::sin(angle)));
        Vec3 normal = add(radial, scale(axis, lean));
        double s = double(i) / segments;
        add_vertex(g, place(t, add(p0, scale(radial, r0))), turn(t, normal), s, 0.0);
        add_vertex(g, place(t, add(p1, scale(radial, r1))), turn(t, normal), s, length / 8.0);
    }
    for (int i = 0; i < segments; ++i) {
        int a = first + 2 * i;
        add_quad(g, a, a + 2, a + 3, a + 1);
    }
    for (int end = 0; end < 2; ++end) {
        Vec3 centre = end ? p1 : p0;
        double radius = end ? r1 : r0;
        if (radius <= 0.0)
            continue;
        Vec3 normal = end ? axis : scale(axis, -1.0);
        int hub = add_vertex(g, place(t, centre), turn(t, normal), 0.5, 0.5);
        int rim = int(g.positions.size());
        for (int i = 0; i < segments; ++i) {
            double angle = 2.0 * pi * i / segments;
            Vec3 radial = add(scale(u, std::cos(angle)), scale(v, std::sin(angle)));
            add_vertex(g, place(t, add(centre, scale(radial, radius))), turn(t, normal),
                      0.5 + 0.5 * std::cos(angle), 0.5 + 0.5 * std::sin(angle));
        }
        for (int i = 0; i < segments; ++i)
            add_triangle(g, hub, rim + i, rim + (i + 1) % segments);
    }
}

// An ellipsoid (or the part of it between the given longitudes and
// latitudes, in degrees) around centre c with radii r.
void add_ellipsoid_part(Geo &g, const Xform &t, Vec3 c, Vec3 r, int rings, int segments,
                      double lon0, double lon1, double lat0, double lat1) {
    int first = int(g.positions.size());
    for (int i = 0; i <= rings; ++i) {
        double lat = (lat0 + (lat1 - lat0) * i / rings) * pi / 180.0;
        for (int j = 0; j <= segments; ++j) {
            double lon = (lon0 + (lon1 - lon0) * j / segments) * pi / 180.0;
            Vec3 unit = vec(std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat));
            Vec3 p = add(c, vec(unit.x * r.x, unit.y * r.y, unit.z * r.z));
            // The gradient of the ellipsoid's equation points outwards.
            Vec3 n = vec(unit.x / r.x, unit.y / r.y, unit.z / r.z);
            add_vertex(g, place(t, p), turn(t, n), double(j) / segments * 2.0, double(i) / rings);
        }
    }
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < segments; ++j) {
            int a = first + i * (segments + 1) + j;
            int b = a + segments + 1;
            add_quad(g, a, a + 1, b + 1, b);
        }
}

void add_ellipsoid(Geo &g, const Xform &t, Vec3 c, Vec3 r, int rings, int segments) {
    add_ellipsoid_part(g, t, c, r, rings, segments, -180.0, 180.0, -90.0, 90.0);
}

// ---------------------------------------------------------------- the pose

const double yaw = 30.0;           // the figure turns a little to its left
const int walk_period = 40;        // frames per stride cycle
const int breath_period = 30;
const int aim_period = 48;

double walk_phase(int frame) { return 2.0 * pi * frame / walk_period - pi / 2.0; }
double breath(int frame) { return std::sin(2.0 * pi * frame / breath_period); }
double aim_degrees(int frame) { return 4.0 * std::sin(2.0 * pi * frame / aim_period); }

Xform legs_root(int frame) {
    double bob = 0.6 * std::fabs(std::cos(walk_phase(frame)));
    return compose(rot_z(yaw), translate(0, 0, bob));
}

void legs_geometry(Geo &g, int frame) {
    Xform root = legs_root(frame);
    double phase = walk_phase(frame);
    add_box(g, root, vec(0, 0, -2.5), vec(2.8, 5.2, 2.6));
    add_box(g, root, vec(0, 0, -0.4), vec(3.0, 5.4, 0.8));   // belt
    for (int side = 0; side < 2; ++side) {
        double sign = side ? -1.0 : 1.0;
        double swing = 28.0 * std::sin(phase) * sign;
        double knee = 6.0 + 24.0 * (0.5 + 0.5 * std::sin(phase - sign * pi / 2.0));
        Xform thigh = compose(root, compose(translate(0, sign * 3.4, -3.5), rot_y(-swing)));
        add_tube(g, thigh, vec(0, 0, 0), vec(0, 0, -10), 2.3, 2.0, 14);
        Xform shin = compose(thigh, compose(translate(0, 0, -10), rot_y(knee)));
        add_ellipsoid(g, shin, vec(0.3, 0, 0), vec(2.1, 2.0, 2.0), 6, 10);
        add_tube(g, shin, vec(0, 0, 0), vec(0, 0, -9.5), 2.0, 1.6, 14);
        Xform foot = compose(shin, compose(translate(0, 0, -9.5), rot_y(swing - knee)));
        add_box(g, foot, vec(1.4, 0, -1.2), vec(3.2, 1.7, 1.2));
    }
}

Xform torso_tag(int frame) {
    double twist = 6.0 * std::sin(walk_phase(frame));
    return compose(legs_root(frame), rot_z(twist));
}

Xform head_tag(int frame) {
    return compose(translate(0.2, 0, 17.8 + 0.15 * breath(frame)), rot_y(2.0 * breath(frame)));
}

// The right hand, where the weapon sits: weapon +x along the forearm.
Vec3 right_elbow() { return vec(1.4, -8.3, 6.6); }

Xform weapon_tag(int frame) {
    Xform aim = compose(translate(right_elbow().x, right_elbow().y, right_elbow().z), rot_y(-aim_degrees(frame)));
    return compose(aim, translate(7.5, 0, 0));
}

void chest_geometry(Geo &g, int frame) {
    Xform t = identity();
    double b = breath(frame);
    add_box(g, t, vec(0, 0, 3), vec(2.6, 4.2, 3));
    add_box(g, t, vec(0.3, 0, 10.5), vec(3.6 * (1 + 0.03 * b), 6.2 * (1 + 0.02 * b), 4.8));
    add_box(g, t, vec(-4.8, 0, 10.8), vec(1.4, 4.0, 4.2));   // backpack
    add_tube(g, t, vec(0, 0, 15.0), vec(0, 0, 18.4), 2.0, 1.8, 12);
}

void arms_geometry(Geo &g, int frame) {
    Xform t = identity();
    for (int side = 0; side < 2; ++side) {
        double sign = side ? -1.0 : 1.0;
        Vec3 shoulder = vec(0, sign * 7.6, 14.4);
        add_ellipsoid(g, t, add(shoulder, vec(0, sign * 0.2, 0.6)), vec(3.0, 2.6, 2.2), 6, 12);
        if (side == 0) {
            Vec3 elbow = add(shoulder, vec(1.0, 1.2, -7.8));
            Vec3 hand = add(elbow, vec(2.4, 0.3, -7.0));
            add_tube(g, t, shoulder, elbow, 1.8, 1.6, 12);
            add_tube(g, t, elbow, hand, 1.6, 1.3, 12);
            add_ellipsoid(g, t, hand, vec(1.5, 1.3, 1.6), 5, 8);
        } else {
            Xform weapon = weapon_tag(frame);
            add_tube(g, t, shoulder, right_elbow(), 1.8, 1.6, 12);
            add_tube(g, t, right_elbow(), weapon.o, 1.6, 1.3, 12);
            add_ellipsoid(g, t, weapon.o, vec(1.6, 1.4, 1.5), 5, 8);
        }
    }
}

void dome_geometry(Geo &g, int) {
    add_ellipsoid(g, identity(), vec(0.3, 0, 6.6), vec(5.8, 5.2, 6.8), 12, 20);
}

void crest_geometry(Geo &g, int) {
    add_box(g, identity(), vec(-0.5, 0, 13.1), vec(4.2, 0.7, 0.9));
}

void ears_geometry(Geo &g, int) {
    Xform t = identity();
    for (int side = 0; side < 2; ++side) {
        double sign = side ? -1.0 : 1.0;
        add_tube(g, t, vec(0.3, sign * 4.6, 6.0), vec(0.3, sign * 5.8, 6.0), 1.9, 1.9, 12);
    }
}

void helmet_geometry(Geo &g, int frame) {
    dome_geometry(g, frame);
    crest_geometry(g, frame);
    ears_geometry(g, frame);
}

void visor_geometry(Geo &g, int) {
    add_ellipsoid_part(g, identity(), vec(0.3, 0, 6.6), vec(6.15, 5.55, 7.0), 4, 12, -62.0, 62.0, -8.0, 26.0);
}

void tube_geometry(Geo &g, int) {
    Xform t = identity();
    add_tube(g, t, vec(-11, 0, 2.6), vec(12.5, 0, 2.6), 2.3, 2.3, 18);
    add_tube(g, t, vec(12.5, 0, 2.6), vec(14.5, 0, 2.6), 2.9, 2.9, 18);    // muzzle ring
    add_tube(g, t, vec(-12.6, 0, 2.6), vec(-11, 0, 2.6), 3.0, 2.4, 18);    // rear flare
}

void fittings_geometry(Geo &g, int) {
    Xform t = identity();
    add_box(g, t, vec(0.2, 0, 0.0), vec(1.1, 0.9, 1.9));     // grip in the hand
    add_box(g, t, vec(6.0, 0, 0.3), vec(0.9, 0.8, 1.5));     // front grip
    add_box(g, t, vec(2.0, 0, 5.3), vec(2.6, 0.6, 0.6));     // sight
    add_tube(g, t, vec(14.5, 0, 2.6), vec(17.5, 0, 2.6), 1.7, 0.2, 14);   // rocket tip
}

const double barrel_length = 6.0;

void barrel_geometry(Geo &g, int) {
    add_tube(g, identity(), vec(0, 0, 0), vec(barrel_length, 0, 0), 1.0, 1.0, 12);
}

// A one-sided rectangle in the plane y = 0 of frame t, from (x0, z0) to
// (x1, z1), facing +y, its texture once across it.
void add_card(Geo &g, const Xform &t, double x0, double z0, double x1, double z1) {
    Vec3 normal = turn(t, vec(0, 1, 0));
    int a = add_vertex(g, place(t, vec(x0, 0, z0)), normal, 0.0, 0.0);
    int b = add_vertex(g, place(t, vec(x1, 0, z0)), normal, 1.0, 0.0);
    int c = add_vertex(g, place(t, vec(x1, 0, z1)), normal, 1.0, 1.0);
    int d = add_vertex(g, place(t, vec(x0, 0, z1)), normal, 0.0, 1.0);
    add_quad(g, a, b, c, d);
}

// A tail fin standing back from the hips: seen from the figure's right it
// shows its back.
void fin_geometry(Geo &g, int frame) {
    add_card(g, legs_root(frame), -3.0, -5.0, -11.0, 1.0);
}

// A plume hanging back from the top of the backpack.
void hair_geometry(Geo &g, int) {
    add_card(g, identity(), -6.0, 6.0, -13.0, 18.0);
}

Xform barrel_tag(int) { return translate(14.5, 0, 2.6); }

// ------------------------------------------------------- MD3 assembly

typedef void (*GeometryFn)(Geo &g, int frame);

struct Bounds {
    Vec3 lo, hi;
};

int16_t quantise(float value) {
    long q = std::lround(double(value) * 64.0);
    if (q > 32767) q = 32767;
    if (q < -32768) q = -32768;
    return int16_t(q);
}

// Makes every triangle clockwise as seen from the side its normals face.
void wind_clockwise(const Geo &g, std::vector<Md3Triangle> *triangles) {
    triangles->clear();
    for (const Md3Triangle &tri : g.triangles) {
        Vec3 a = g.positions[tri.indexes[0]], b = g.positions[tri.indexes[1]], c = g.positions[tri.indexes[2]];
        Vec3 face = cross(sub(b, a), sub(c, a));
        if (dot(face, face) < 1e-10)
            continue;   // collapsed at a pole
        Vec3 outward = add(add(g.normals[tri.indexes[0]], g.normals[tri.indexes[1]]), g.normals[tri.indexes[2]]);
        Md3Triangle out = tri;
        if (dot(face, outward) > 0.0)
            std::swap(out.indexes[1], out.indexes[2]);
        triangles->push_back(out);
    }
}

int make_surface(const SampleFigureSurface &recipe, int frames, std::vector<Bounds> *bounds,
                 Md3SurfaceData *surface, char *reason) {
    static const GeometryFn builds[] = {
        legs_geometry, chest_geometry, arms_geometry, helmet_geometry, dome_geometry, crest_geometry,
        ears_geometry, visor_geometry, tube_geometry, fittings_geometry, barrel_geometry, fin_geometry,
        hair_geometry};
    GeometryFn build = builds[recipe.part];
    surface->name = recipe.name;
    surface->num_frames = frames;
    Md3Shader shader;
    std::memset(&shader, 0, sizeof shader);
    std::snprintf(shader.name, sizeof shader.name, "%s", recipe.shader);
    surface->shaders.push_back(shader);
    size_t count = 0;
    for (int frame = 0; frame < frames; ++frame) {
        Geo g;
        build(g, frame);
        if (frame == 0) {
            count = g.positions.size();
            surface->texcoords = g.texcoords;
            wind_clockwise(g, &surface->triangles);
        } else if (g.positions.size() != count) {
            std::snprintf(reason, sample_figure_reason_size, "surface %s changes shape at frame %d",
                          recipe.name, frame);
            return 0;
        }
        Bounds &box = (*bounds)[size_t(frame)];
        for (size_t i = 0; i < count; ++i) {
            Vec3 p = g.positions[i];
            Md3Vertex vertex;
            vertex.x = quantise(p.x);
            vertex.y = quantise(p.y);
            vertex.z = quantise(p.z);
            Md3Writer_PackNormal(g.normals[i].x, g.normals[i].y, g.normals[i].z, vertex.normal);
            surface->vertices.push_back(vertex);
            box.lo = vec(std::fmin(box.lo.x, p.x), std::fmin(box.lo.y, p.y), std::fmin(box.lo.z, p.z));
            box.hi = vec(std::fmax(box.hi.x, p.x), std::fmax(box.hi.y, p.y), std::fmax(box.hi.z, p.z));
        }
    }
    return 1;
}

}  // namespace

int SampleFigure_Model(const SampleFigurePiece &piece, Md3ModelData *model, char *reason) {
    typedef Xform (*TagFn)(int frame);
    static const TagFn tag_builds[] = {torso_tag, head_tag, weapon_tag, barrel_tag};
    *model = Md3ModelData();
    model->name = piece.name;
    std::vector<Bounds> bounds(size_t(piece.frames), Bounds{vec(1e9, 1e9, 1e9), vec(-1e9, -1e9, -1e9)});
    for (const SampleFigureSurface &recipe : piece.surfaces) {
        model->surfaces.push_back(Md3SurfaceData());
        if (!make_surface(recipe, piece.frames, &bounds, &model->surfaces.back(), reason))
            return 0;
    }
    model->num_tags = int32_t(piece.tags.size());
    for (int frame = 0; frame < piece.frames; ++frame) {
        char frame_name[16];
        std::snprintf(frame_name, sizeof frame_name, "frame%03d", frame);
        float lo[3] = {bounds[size_t(frame)].lo.x, bounds[size_t(frame)].lo.y, bounds[size_t(frame)].lo.z};
        float hi[3] = {bounds[size_t(frame)].hi.x, bounds[size_t(frame)].hi.y, bounds[size_t(frame)].hi.z};
        model->frames.push_back(Md3Writer_Frame(lo, hi, frame_name));
        for (const SampleFigureTagName &tag : piece.tags)
            model->tags.push_back(tag_of(tag.name, tag_builds[tag.tag](frame)));
    }
    return 1;
}
