#include "md3_writer.h"

#include "file_bytes.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

template <typename T>
void append(std::vector<uint8_t> &out, const T &record) {
    const uint8_t *bytes = reinterpret_cast<const uint8_t *>(&record);
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

template <typename T>
void append_all(std::vector<uint8_t> &out, const std::vector<T> &records) {
    for (const T &record : records)
        append(out, record);
}

void append_gap(std::vector<uint8_t> &out, uint32_t bytes) {
    out.insert(out.end(), bytes, uint8_t(0xCD));
}

void copy_name(char *field, size_t size, const std::string &name) {
    std::memset(field, 0, size);
    std::strncpy(field, name.c_str(), size - 1);
}

void encode_surface(std::vector<uint8_t> &out, const Md3SurfaceData &surface) {
    Md3SurfaceHeader header;
    std::memset(&header, 0, sizeof header);
    std::memcpy(header.ident, md3_ident, sizeof header.ident);
    copy_name(header.name, sizeof header.name, surface.name);
    header.num_frames = surface.num_frames;
    header.num_shaders = int32_t(surface.shaders.size());
    header.num_verts = int32_t(surface.texcoords.size());
    header.num_triangles = int32_t(surface.triangles.size());

    uint32_t pos = sizeof(Md3SurfaceHeader);
    header.ofs_shaders = int32_t(pos);
    pos += uint32_t(surface.shaders.size() * sizeof(Md3Shader)) + surface.gap_before_triangles;
    header.ofs_triangles = int32_t(pos);
    pos += uint32_t(surface.triangles.size() * sizeof(Md3Triangle)) + surface.gap_before_st;
    header.ofs_st = int32_t(pos);
    pos += uint32_t(surface.texcoords.size() * sizeof(Md3TexCoord)) + surface.gap_before_xyz;
    header.ofs_xyznormal = int32_t(pos);
    pos += uint32_t(surface.vertices.size() * sizeof(Md3Vertex)) + surface.gap_after;
    header.ofs_end = int32_t(pos);

    append(out, header);
    append_all(out, surface.shaders);
    append_gap(out, surface.gap_before_triangles);
    append_all(out, surface.triangles);
    append_gap(out, surface.gap_before_st);
    append_all(out, surface.texcoords);
    append_gap(out, surface.gap_before_xyz);
    append_all(out, surface.vertices);
    append_gap(out, surface.gap_after);
}

}  // namespace

std::vector<uint8_t> Md3Writer_Encode(const Md3ModelData &model, Md3Layout *layout) {
    std::vector<uint8_t> out;
    Md3Header header;
    std::memset(&header, 0, sizeof header);
    std::memcpy(header.ident, md3_ident, sizeof header.ident);
    header.version = md3_version;
    copy_name(header.name, sizeof header.name, model.name);
    header.num_frames = int32_t(model.frames.size());
    header.num_tags = model.num_tags;
    header.num_surfaces = int32_t(model.surfaces.size());
    header.ofs_frames = int32_t(sizeof(Md3Header));
    header.ofs_tags = header.ofs_frames + int32_t(model.frames.size() * sizeof(Md3Frame));
    header.ofs_surfaces = header.ofs_tags + int32_t(model.tags.size() * sizeof(Md3Tag));
    append(out, header);

    Md3Layout found;
    found.frames = uint32_t(out.size());
    append_all(out, model.frames);
    found.tags = uint32_t(out.size());
    append_all(out, model.tags);
    for (const Md3SurfaceData &surface : model.surfaces) {
        found.surfaces.push_back(uint32_t(out.size()));
        encode_surface(out, surface);
    }

    int32_t end = int32_t(out.size());
    std::memcpy(out.data() + offsetof(Md3Header, ofs_end), &end, sizeof end);
    if (layout)
        *layout = found;
    return out;
}

int Md3Writer_Save(const char *path, const std::vector<uint8_t> &bytes) {
    return FileBytes_Save(path, bytes);
}

void Md3Writer_PackNormal(float x, float y, float z, uint8_t normal[2]) {
    // The loader's table steps both angles by 6.283 / 255 radians.
    const double step = double(6.283f / 255.0f);
    double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (length <= 0.0) {
        normal[0] = normal[1] = 0;
        return;
    }
    double zenith = std::acos(std::fmax(-1.0, std::fmin(1.0, z / length)));
    double azimuth = std::atan2(double(y), double(x));
    if (azimuth < 0.0)
        azimuth += 6.283185307179586;
    long r = std::lround(zenith / step);
    long c = std::lround(azimuth / step);
    normal[0] = uint8_t(r > 255 ? 255 : r);
    normal[1] = uint8_t(c % 256);
}

Md3Frame Md3Writer_Frame(const float min_bounds[3], const float max_bounds[3], const char *name) {
    Md3Frame frame;
    std::memset(&frame, 0, sizeof frame);
    double radius = 0.0;
    for (int i = 0; i < 3; ++i) {
        frame.min_bounds[i] = min_bounds[i];
        frame.max_bounds[i] = max_bounds[i];
        double extent = std::fmax(std::fabs(min_bounds[i]), std::fabs(max_bounds[i]));
        radius += extent * extent;
    }
    frame.radius = float(std::sqrt(radius));
    copy_name(frame.name, sizeof frame.name, name ? name : "");
    return frame;
}

Md3Tag Md3Writer_Tag(const char *name, const float origin[3], const float axis[9]) {
    Md3Tag tag;
    std::memset(&tag, 0, sizeof tag);
    copy_name(tag.name, sizeof tag.name, name ? name : "");
    std::memcpy(tag.origin, origin, sizeof tag.origin);
    std::memcpy(tag.axis, axis, sizeof tag.axis);
    return tag;
}
