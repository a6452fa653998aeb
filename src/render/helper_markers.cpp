#include "render/helper_markers.h"

#include <cmath>

#include "render/overlay_colors.h"

namespace orva {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kCircleSegments = 24;

// The object's frame without its scale: (x, y, z) maps to O + x X + y Y + z Z.
struct Frame {
    glm::vec3 origin;
    glm::vec3 x, y, z;

    glm::vec3 at(float a, float b, float c) const { return origin + a * x + b * y + c * z; }
};

glm::vec3 unitOrAsIs(const glm::vec3& v) {
    const float length = glm::length(v);
    return length > 1e-8f ? v / length : v;
}

Frame frameOf(const glm::mat4& world) {
    return {glm::vec3(world[3]), unitOrAsIs(glm::vec3(world[0])), unitOrAsIs(glm::vec3(world[1])),
            unitOrAsIs(glm::vec3(world[2]))};
}

struct LineWriter {
    std::vector<ColorVertex>& out;
    glm::vec4 color;

    void line(const glm::vec3& a, const glm::vec3& b) {
        out.push_back({a, color});
        out.push_back({b, color});
    }
    // A circle of radius r around `center` in the plane spanned by p and q (world directions).
    void circle(const glm::vec3& center, float r, const glm::vec3& p, const glm::vec3& q) {
        glm::vec3 previous = center + r * p;
        for (int k = 1; k <= kCircleSegments; ++k) {
            const float theta = float(k) * 2.0f * kPi / float(kCircleSegments);
            const glm::vec3 next = center + r * std::cos(theta) * p + r * std::sin(theta) * q;
            line(previous, next);
            previous = next;
        }
    }
};

// A standing figure 1.7 high facing -Z, with an arrow on the ground.
void spawnPoint(const Frame& f, LineWriter& w) {
    w.circle(f.at(0, 0, 0), 0.3f, f.x, f.z);
    w.circle(f.at(0, 1.7f, 0), 0.3f, f.x, f.z);
    for (int i = 0; i < 4; ++i) {
        const float phi = kPi / 4.0f + float(i) * kPi / 2.0f;
        const float c = 0.3f * std::cos(phi), s = 0.3f * std::sin(phi);
        w.line(f.at(c, 0, s), f.at(c, 1.7f, s));
    }
    w.circle(f.at(0, 1.6f, 0), 0.12f, f.y, f.z);
    w.line(f.at(0, 0.02f, 0), f.at(0, 0.02f, -1));
    w.line(f.at(0, 0.02f, -1), f.at(-0.18f, 0.02f, -0.78f));
    w.line(f.at(0, 0.02f, -1), f.at(0.18f, 0.02f, -0.78f));
    w.line(f.at(0, 1.6f, 0), f.at(0, 1.6f, -0.6f));
}

// A frustum of depth 1 looking along -Z with a 16:9 far rectangle and an "up" triangle above it.
void camera(const Frame& f, float yfovDeg, LineWriter& w) {
    const float h = std::tan(yfovDeg * 0.5f * kPi / 180.0f);
    const float wd = h * 16.0f / 9.0f;
    const glm::vec3 corners[4] = {f.at(-wd, -h, -1), f.at(wd, -h, -1), f.at(wd, h, -1), f.at(-wd, h, -1)};
    for (int i = 0; i < 4; ++i) {
        w.line(f.origin, corners[i]);
        w.line(corners[i], corners[(i + 1) % 4]);
    }
    const glm::vec3 left = f.at(-0.5f * wd, 1.1f * h, -1), right = f.at(0.5f * wd, 1.1f * h, -1);
    const glm::vec3 apex = f.at(0, 1.6f * h, -1);
    w.line(left, right);
    w.line(left, apex);
    w.line(right, apex);
}

void light(const Frame& f, const SceneObject& object, LineWriter& w) {
    w.circle(f.origin, 0.18f, f.y, f.z);
    w.circle(f.origin, 0.18f, f.x, f.z);
    w.circle(f.origin, 0.18f, f.x, f.y);
    if (object.lightType == LightType::Directional || object.lightType == LightType::Spot)
        w.line(f.origin, f.at(0, 0, -1.5f));
    if (object.lightType == LightType::Spot) {
        // outerConeDeg is the cone's half-angle.
        const float r = 1.5f * std::tan(object.outerConeDeg * kPi / 180.0f);
        w.circle(f.at(0, 0, -1.5f), r, f.x, f.y);
        for (int i = 0; i < 4; ++i) {
            const float phi = float(i) * kPi / 2.0f;
            w.line(f.origin, f.at(r * std::cos(phi), r * std::sin(phi), -1.5f));
        }
    }
}

} // namespace

void buildHelperLines(const ViewportRenderParams& params, std::vector<ColorVertex>& lines) {
    lines.clear();
    if (!params.scene)
        return;
    const Scene& scene = *params.scene;
    for (const auto& object : scene.objects) {
        if (!object->visible || object->type == ObjectType::Mesh)
            continue;
        glm::vec4 color = object->type == ObjectType::SpawnPoint ? kSpawnGreen : kHelperColor;
        if (isObjectSelected(params, object->id))
            color = object->id == params.activeObject ? kActiveOrange : kSelectedOrange;

        const Frame frame = frameOf(scene.worldMatrix(object->id));
        LineWriter writer{lines, color};
        switch (object->type) {
        case ObjectType::SpawnPoint:
            spawnPoint(frame, writer);
            break;
        case ObjectType::Camera:
            camera(frame, object->yfovDeg, writer);
            break;
        case ObjectType::Light:
            light(frame, *object, writer);
            break;
        case ObjectType::Mesh:
            break;
        }
    }
}

} // namespace orva
