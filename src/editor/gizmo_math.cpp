#include "editor/gizmo_math.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace orva {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kMinScaleFactor = 0.001f;

// Fade ranges: below the first value a handle is invisible, above the second fully drawn. Axes use the
// sine of their angle to the line of sight, planes and rings the cosine of their normal's angle to it.
constexpr float kAxisFadeMin = 0.1f, kAxisFadeMax = 0.25f;
constexpr float kPlaneFadeMin = 0.1f, kPlaneFadeMax = 0.25f;
constexpr float kRingFadeMin = 0.05f, kRingFadeMax = 0.15f;
constexpr float kRingBackTolerance = 0.1f;

bool isFinite(const glm::vec2& v) { return std::isfinite(v.x) && std::isfinite(v.y); }
bool isFinite(const glm::vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool isFinite(const glm::mat4& m) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(m[c][r]))
                return false;
    return true;
}

float fade(float x, float lo, float hi) { return std::clamp((x - lo) / (hi - lo), 0.0f, 1.0f); }

bool snapping(float step) { return std::isfinite(step) && step > 0.0f; }

float snapValue(float value, float step) { return snapping(step) ? std::round(value / step) * step : value; }

// A scale factor snapped to 1 + k * step and kept positive: a zero factor would make the matrix
// singular and the object unrecoverable by further scaling.
float snapFactor(float factor, float step) {
    if (!std::isfinite(factor))
        return 1.0f;
    if (!snapping(step))
        return std::max(factor, kMinScaleFactor);
    factor = 1.0f + snapValue(factor - 1.0f, step);
    if (factor < kMinScaleFactor) {
        const float k = std::floor((1.0f - kMinScaleFactor) / step);
        factor = std::max(1.0f - k * step, kMinScaleFactor);
    }
    return factor;
}

// Angle wrapped into [-pi, pi].
float wrapAngle(float a) { return a - 2.0f * kPi * std::round(a / (2.0f * kPi)); }

std::array<glm::vec3, 3> worldAxes() { return {glm::vec3(1, 0, 0), glm::vec3(0, 1, 0), glm::vec3(0, 0, 1)}; }

std::array<glm::vec3, 3> frameAxes(const glm::mat4& m, bool local) {
    if (!local)
        return worldAxes();
    std::array<glm::vec3, 3> axes;
    for (int i = 0; i < 3; ++i) {
        const glm::vec3 v(m[i]);
        const float len = glm::length(v);
        if (!(len > 1e-8f) || !std::isfinite(len))
            return worldAxes();
        axes[i] = v / len;
    }
    if (std::abs(glm::dot(glm::cross(axes[0], axes[1]), axes[2])) < 1e-3f)
        return worldAxes();
    return axes;
}

// Parameter s of the point origin + s * axis closest to the ray's line; false when they are parallel
// or the closest point lies behind the ray's start.
bool closestOnAxis(const Ray& ray, const glm::vec3& origin, const glm::vec3& axis, float* s) {
    const glm::vec3 w0 = origin - ray.origin;
    const float b = glm::dot(axis, ray.direction);
    const float den = 1.0f - b * b;
    if (den < 1e-6f)
        return false;
    const float d = glm::dot(axis, w0), e = glm::dot(ray.direction, w0);
    const float t = (e - b * d) / den;
    if (t < 0.0f)
        return false;
    *s = (b * e - d) / den;
    return std::isfinite(*s);
}

bool intersectPlane(const Ray& ray, const glm::vec3& point, const glm::vec3& normal, glm::vec3* hit) {
    const float den = glm::dot(normal, ray.direction);
    if (std::abs(den) < 1e-6f)
        return false;
    const float t = glm::dot(normal, point - ray.origin) / den;
    if (!(t >= 0.0f) || !std::isfinite(t))
        return false;
    *hit = ray.origin + t * ray.direction;
    return true;
}

float segmentDistance(const glm::vec2& p, const glm::vec2& a, const glm::vec2& b) {
    return std::sqrt(distanceToSegment2D(p, a, b));
}

// Distance from p to a convex quad's outline, and whether p is inside (either winding).
float quadDistance(const glm::vec2& p, const std::array<glm::vec2, 4>& q, bool* inside) {
    float d = 1e30f;
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
        const glm::vec2 a = q[i], b = q[(i + 1) % 4];
        d = std::min(d, segmentDistance(p, a, b));
        const glm::vec2 e = b - a, r = p - a;
        const float cross = e.x * r.y - e.y * r.x;
        positive += cross >= 0.0f;
        negative += cross <= 0.0f;
    }
    *inside = positive == 4 || negative == 4;
    return d;
}

// Unit vectors u, v spanning the plane of ring `k`, u taken from the next axis so that world rings
// start at a predictable place.
void ringBasis(const std::array<glm::vec3, 3>& axes, int k, glm::vec3* u, glm::vec3* v) {
    const glm::vec3 n = axes[k];
    glm::vec3 a = axes[(k + 1) % 3] - glm::dot(axes[(k + 1) % 3], n) * n;
    if (glm::length(a) < 1e-6f)
        a = axes[(k + 2) % 3] - glm::dot(axes[(k + 2) % 3], n) * n;
    *u = glm::normalize(a);
    *v = glm::cross(n, *u);
}

glm::vec3 planeNormal(const std::array<glm::vec3, 3>& axes, int k) {
    return glm::normalize(glm::cross(axes[(k + 1) % 3], axes[(k + 2) % 3]));
}

} // namespace

int gizmoHandleOperation(GizmoHandle handle) {
    switch (handle) {
    case GizmoHandle::RotateX:
    case GizmoHandle::RotateY:
    case GizmoHandle::RotateZ:
    case GizmoHandle::RotateScreen:
        return kGizmoRotate;
    case GizmoHandle::ScaleX:
    case GizmoHandle::ScaleY:
    case GizmoHandle::ScaleZ:
    case GizmoHandle::ScaleUniform:
        return kGizmoScale;
    default:
        return kGizmoMove;
    }
}

int gizmoHandleAxis(GizmoHandle handle) {
    switch (handle) {
    case GizmoHandle::MoveX:
    case GizmoHandle::MoveYZ:
    case GizmoHandle::RotateX:
    case GizmoHandle::ScaleX:
        return 0;
    case GizmoHandle::MoveY:
    case GizmoHandle::MoveZX:
    case GizmoHandle::RotateY:
    case GizmoHandle::ScaleY:
        return 1;
    case GizmoHandle::MoveZ:
    case GizmoHandle::MoveXY:
    case GizmoHandle::RotateZ:
    case GizmoHandle::ScaleZ:
        return 2;
    default:
        return -1;
    }
}

float gizmoSnapStep(const EditorSettings& settings, GizmoHandle handle) {
    if (!settings.snap || handle == GizmoHandle::None)
        return 0.0f;
    switch (gizmoHandleOperation(handle)) {
    case kGizmoRotate:
        return settings.snapRotate;
    case kGizmoScale:
        return settings.snapScale;
    default:
        return settings.snapMove;
    }
}

bool gizmoProject(const GizmoCamera& camera, const glm::vec3& world, glm::vec2* screen) {
    const glm::vec4 clip = camera.projection * camera.view * glm::vec4(world, 1.0f);
    if (!(clip.w > 1e-6f))
        return false;
    const glm::vec2 ndc(clip.x / clip.w, clip.y / clip.w);
    const glm::vec2 p(camera.rectPos.x + (ndc.x * 0.5f + 0.5f) * camera.rectSize.x,
                      camera.rectPos.y + (0.5f - ndc.y * 0.5f) * camera.rectSize.y);
    if (!isFinite(p))
        return false;
    *screen = p;
    return true;
}

bool gizmoScreenRay(const GizmoCamera& camera, const glm::vec2& screen, Ray* ray) {
    if (!(camera.rectSize.x > 0.0f && camera.rectSize.y > 0.0f) || !isFinite(screen))
        return false;
    const glm::mat4 inv = glm::inverse(camera.projection * camera.view);
    if (!isFinite(inv))
        return false;
    const float x = (screen.x - camera.rectPos.x) / camera.rectSize.x * 2.0f - 1.0f;
    const float y = 1.0f - (screen.y - camera.rectPos.y) / camera.rectSize.y * 2.0f;
    const glm::vec4 n = inv * glm::vec4(x, y, -1.0f, 1.0f);
    const glm::vec4 f = inv * glm::vec4(x, y, 1.0f, 1.0f);
    if (std::abs(n.w) < 1e-12f || std::abs(f.w) < 1e-12f)
        return false;
    const glm::vec3 nearPoint = glm::vec3(n) / n.w, farPoint = glm::vec3(f) / f.w;
    const glm::vec3 dir = farPoint - nearPoint;
    const float len = glm::length(dir);
    if (!(len > 0.0f) || !isFinite(nearPoint) || !std::isfinite(len))
        return false;
    ray->origin = nearPoint;
    ray->direction = dir / len;
    return true;
}

GizmoLayout computeGizmoLayout(const GizmoCamera& camera, int operation, bool local, float sizePx,
                               const glm::mat4& matrix) {
    GizmoLayout layout;
    layout.operation = (operation == kGizmoRotate || operation == kGizmoScale) ? operation : kGizmoMove;
    layout.sizePx = sizePx;
    layout.rectMin = camera.rectPos;
    layout.rectMax = camera.rectPos + camera.rectSize;
    if (!isFinite(matrix) || !isFinite(camera.view) || !isFinite(camera.projection) || !(sizePx > 0.0f) ||
        !std::isfinite(sizePx) || !(camera.rectSize.x > 0.0f && camera.rectSize.y > 0.0f))
        return layout;

    // Constant on-screen size: one pixel at the origin's depth is 2w / (P[1][1] * height) world units,
    // with w = 1 in orthographic views.
    layout.origin = glm::vec3(matrix[3]);
    const glm::vec4 clip = camera.projection * camera.view * glm::vec4(layout.origin, 1.0f);
    const float yScale = std::abs(camera.projection[1][1]);
    if (!(clip.w > 1e-6f) || !(yScale > 0.0f))
        return layout;
    layout.worldLength = sizePx * 2.0f * clip.w / (yScale * camera.rectSize.y);
    if (!gizmoProject(camera, layout.origin, &layout.originScreen) || !std::isfinite(layout.worldLength))
        return layout;

    const glm::mat4 invView = glm::inverse(camera.view);
    const glm::vec3 back = glm::vec3(invView[2]); // the camera's +Z: from the scene towards the viewer
    if (!isFinite(back) || !(glm::length(back) > 0.0f))
        return layout;
    layout.toEye = glm::normalize(back);
    if (!camera.orthographic) {
        const glm::vec3 toEye = glm::vec3(invView[3]) - layout.origin;
        if (glm::length(toEye) > 0.0f)
            layout.toEye = glm::normalize(toEye);
    }

    layout.axes = frameAxes(matrix, local || layout.operation == kGizmoScale);
    const float len = layout.worldLength;
    const glm::vec3 o = layout.origin;
    for (int i = 0; i < 3; ++i) {
        const glm::vec3 a = layout.axes[i];
        // Axes pointing at the viewer fade.
        const float c = std::abs(glm::dot(a, layout.toEye));
        layout.axisAlpha[i] = fade(std::sqrt(std::max(0.0f, 1.0f - c * c)), kAxisFadeMin, kAxisFadeMax);
        if (!gizmoProject(camera, o + a * len, &layout.axisEnd[i]) ||
            !gizmoProject(camera, o + a * (len * kGizmoAxisStart), &layout.axisStart[i]))
            layout.axisAlpha[i] = 0.0f;

        // Planes and rings seen edge-on fade.
        const glm::vec3 n = planeNormal(layout.axes, i);
        layout.planeAlpha[i] = fade(std::abs(glm::dot(n, layout.toEye)), kPlaneFadeMin, kPlaneFadeMax);
        const glm::vec3 u = layout.axes[(i + 1) % 3], v = layout.axes[(i + 2) % 3];
        const float corners[4][2] = {{kGizmoPlaneMin, kGizmoPlaneMin},
                                     {kGizmoPlaneMax, kGizmoPlaneMin},
                                     {kGizmoPlaneMax, kGizmoPlaneMax},
                                     {kGizmoPlaneMin, kGizmoPlaneMax}};
        for (int k = 0; k < 4; ++k)
            if (!gizmoProject(camera, o + (u * corners[k][0] + v * corners[k][1]) * len, &layout.planeQuad[i][k]))
                layout.planeAlpha[i] = 0.0f;

        layout.ringAlpha[i] = fade(c, kRingFadeMin, kRingFadeMax);
        glm::vec3 ru, rv;
        ringBasis(layout.axes, i, &ru, &rv);
        for (int s = 0; s <= kGizmoRingSegments; ++s) {
            const float t = 2.0f * kPi * float(s % kGizmoRingSegments) / float(kGizmoRingSegments);
            if (!gizmoProject(camera, o + (ru * std::cos(t) + rv * std::sin(t)) * len, &layout.ring[i][s]))
                layout.ringAlpha[i] = 0.0f;
        }
        for (int s = 0; s < kGizmoRingSegments; ++s) {
            const float t = 2.0f * kPi * (float(s) + 0.5f) / float(kGizmoRingSegments);
            const glm::vec3 dir = ru * std::cos(t) + rv * std::sin(t);
            // A little of the back half counts as front, so a ring seen nearly face-on stays whole.
            layout.ringFront[i][s] = glm::dot(dir, layout.toEye) >= -kRingBackTolerance;
        }
    }
    layout.visible = true;
    return layout;
}

GizmoHandle pickGizmoHandle(const GizmoLayout& layout, const glm::vec2& mouse) {
    if (!layout.visible || !isFinite(mouse))
        return GizmoHandle::None;
    if (mouse.x < layout.rectMin.x || mouse.y < layout.rectMin.y || mouse.x > layout.rectMax.x ||
        mouse.y > layout.rectMax.y)
        return GizmoHandle::None;

    const float tolerance = kGizmoPickRadius * layout.sizePx;
    GizmoHandle best = GizmoHandle::None;
    float bestDistance = tolerance;
    // Strictly nearer wins, so on a tie the handle offered first keeps it.
    auto offer = [&](GizmoHandle handle, float distance) {
        if (distance < bestDistance || (best == GizmoHandle::None && distance <= bestDistance)) {
            best = handle;
            bestDistance = distance;
        }
    };
    auto area = [&](bool inside, float outlineDistance) {
        return inside ? tolerance * 0.5f : tolerance * 0.5f + outlineDistance;
    };

    const int op = layout.operation;
    if (op == kGizmoMove || op == kGizmoScale) {
        const float d = glm::length(mouse - layout.originScreen) - kGizmoDiscRadius * layout.sizePx;
        offer(op == kGizmoMove ? GizmoHandle::MoveScreen : GizmoHandle::ScaleUniform, area(d <= 0.0f, d));
        const GizmoHandle axisHandles[2][3] = {{GizmoHandle::MoveX, GizmoHandle::MoveY, GizmoHandle::MoveZ},
                                               {GizmoHandle::ScaleX, GizmoHandle::ScaleY, GizmoHandle::ScaleZ}};
        for (int i = 0; i < 3; ++i)
            if (layout.axisAlpha[i] >= kGizmoPickableAlpha)
                offer(axisHandles[op == kGizmoScale][i],
                      segmentDistance(mouse, layout.axisStart[i], layout.axisEnd[i]));
    }
    if (op == kGizmoRotate) {
        const GizmoHandle rings[3] = {GizmoHandle::RotateX, GizmoHandle::RotateY, GizmoHandle::RotateZ};
        for (int i = 0; i < 3; ++i) {
            if (layout.ringAlpha[i] < kGizmoPickableAlpha)
                continue;
            float d = 1e30f;
            for (int s = 0; s < kGizmoRingSegments; ++s)
                if (layout.ringFront[i][s])
                    d = std::min(d, segmentDistance(mouse, layout.ring[i][s], layout.ring[i][s + 1]));
            offer(rings[i], d);
        }
        const float r = kGizmoScreenRing * layout.sizePx;
        offer(GizmoHandle::RotateScreen, std::abs(glm::length(mouse - layout.originScreen) - r));
    }
    if (op == kGizmoMove) {
        const GizmoHandle planes[3] = {GizmoHandle::MoveYZ, GizmoHandle::MoveZX, GizmoHandle::MoveXY};
        for (int i = 0; i < 3; ++i) {
            if (layout.planeAlpha[i] < kGizmoPickableAlpha)
                continue;
            bool inside = false;
            const float d = quadDistance(mouse, layout.planeQuad[i], &inside);
            offer(planes[i], area(inside, d));
        }
    }
    return best;
}

bool beginGizmoDrag(const GizmoLayout& layout, const GizmoCamera& camera, GizmoHandle handle, const glm::vec2& mouse,
                    const glm::mat4& matrix, GizmoDrag* drag) {
    if (handle == GizmoHandle::None || !layout.visible || !drag)
        return false;
    Ray ray;
    if (!gizmoScreenRay(camera, mouse, &ray))
        return false;

    GizmoDrag d;
    d.handle = handle;
    d.startMatrix = matrix;
    d.origin = layout.origin;
    d.axes = layout.axes;
    d.startMouse = mouse;
    d.sizePx = layout.sizePx;
    const int axis = gizmoHandleAxis(handle);
    switch (handle) {
    case GizmoHandle::MoveX:
    case GizmoHandle::MoveY:
    case GizmoHandle::MoveZ:
    case GizmoHandle::ScaleX:
    case GizmoHandle::ScaleY:
    case GizmoHandle::ScaleZ:
        if (!closestOnAxis(ray, d.origin, d.axes[axis], &d.startParam))
            return false;
        // A scale drag divides by this distance from the origin.
        if (gizmoHandleOperation(handle) == kGizmoScale && std::abs(d.startParam) < 1e-3f * layout.worldLength)
            return false;
        d.startHit = d.origin + d.axes[axis] * d.startParam;
        break;
    case GizmoHandle::MoveYZ:
    case GizmoHandle::MoveZX:
    case GizmoHandle::MoveXY:
    case GizmoHandle::MoveScreen:
        d.planeNormal = axis >= 0 ? planeNormal(d.axes, axis) : layout.toEye;
        if (!intersectPlane(ray, d.origin, d.planeNormal, &d.startHit))
            return false;
        break;
    case GizmoHandle::RotateX:
    case GizmoHandle::RotateY:
    case GizmoHandle::RotateZ:
    case GizmoHandle::RotateScreen: {
        d.planeNormal = axis >= 0 ? d.axes[axis] : layout.toEye;
        if (!intersectPlane(ray, d.origin, d.planeNormal, &d.startHit))
            return false;
        const glm::vec3 v = d.startHit - d.origin;
        if (!(glm::length(v) > 1e-4f * layout.worldLength))
            return false;
        d.startVector = glm::normalize(v);
        break;
    }
    case GizmoHandle::ScaleUniform:
        break;
    default:
        return false;
    }
    *drag = d;
    return true;
}

bool updateGizmoDrag(GizmoDrag* drag, const GizmoCamera& camera, const glm::vec2& mouse, float snapStep,
                     glm::mat4* result) {
    if (!drag || !result || drag->handle == GizmoHandle::None)
        return false;
    GizmoDrag& d = *drag;
    glm::mat4 m = d.startMatrix;
    const int axis = gizmoHandleAxis(d.handle);

    if (d.handle == GizmoHandle::ScaleUniform) {
        if (!isFinite(mouse))
            return false;
        // Dragging right by one axis length doubles the size.
        const float f = snapFactor(1.0f + (mouse.x - d.startMouse.x) / d.sizePx, snapStep);
        d.scale = glm::vec3(f);
        for (int i = 0; i < 3; ++i)
            m[i] *= f;
        *result = m;
        return true;
    }

    Ray ray;
    if (!gizmoScreenRay(camera, mouse, &ray))
        return false;
    switch (d.handle) {
    case GizmoHandle::MoveX:
    case GizmoHandle::MoveY:
    case GizmoHandle::MoveZ: {
        float s = 0.0f;
        if (!closestOnAxis(ray, d.origin, d.axes[axis], &s))
            return false;
        d.delta = d.axes[axis] * snapValue(s - d.startParam, snapStep);
        m[3] += glm::vec4(d.delta, 0.0f);
        break;
    }
    case GizmoHandle::MoveYZ:
    case GizmoHandle::MoveZX:
    case GizmoHandle::MoveXY: {
        glm::vec3 hit;
        if (!intersectPlane(ray, d.origin, d.planeNormal, &hit))
            return false;
        // Rebuilt from its coordinates along the plane's two axes, so that the third stays exactly
        // untouched (an object on the ground stays on it).
        const glm::vec3 u = d.axes[(axis + 1) % 3], v = d.axes[(axis + 2) % 3];
        const glm::vec3 r = hit - d.startHit;
        const float g = glm::dot(u, v), det = 1.0f - g * g;
        const float ru = glm::dot(r, u), rv = glm::dot(r, v);
        float x = ru, y = rv;
        if (det > 1e-6f) { // the axes may be oblique in local orientation
            x = (ru - g * rv) / det;
            y = (rv - g * ru) / det;
        }
        const glm::vec3 delta = u * snapValue(x, snapStep) + v * snapValue(y, snapStep);
        d.delta = delta;
        m[3] += glm::vec4(delta, 0.0f);
        break;
    }
    case GizmoHandle::MoveScreen: {
        glm::vec3 hit;
        if (!intersectPlane(ray, d.origin, d.planeNormal, &hit))
            return false;
        glm::vec3 delta = hit - d.startHit;
        if (snapping(snapStep)) {
            const glm::mat3 basis(d.axes[0], d.axes[1], d.axes[2]);
            glm::vec3 c = glm::inverse(basis) * delta;
            for (int i = 0; i < 3; ++i)
                c[i] = snapValue(c[i], snapStep);
            delta = basis * c;
        }
        d.delta = delta;
        m[3] += glm::vec4(delta, 0.0f);
        break;
    }
    case GizmoHandle::RotateX:
    case GizmoHandle::RotateY:
    case GizmoHandle::RotateZ:
    case GizmoHandle::RotateScreen: {
        glm::vec3 hit;
        if (!intersectPlane(ray, d.origin, d.planeNormal, &hit))
            return false;
        const glm::vec3 v = hit - d.origin;
        if (!(glm::length(v) > 0.0f))
            return false;
        const float raw = std::atan2(glm::dot(d.planeNormal, glm::cross(d.startVector, v)), glm::dot(d.startVector, v));
        // Follow the mouse round and round rather than jumping back at 180 degrees.
        d.rawAngle += wrapAngle(raw - d.rawAngle);
        d.angle = snapValue(d.rawAngle * kRadToDeg, snapStep) * kDegToRad;
        const glm::mat3 r(glm::rotate(glm::mat4(1.0f), d.angle, d.planeNormal));
        for (int i = 0; i < 3; ++i)
            m[i] = glm::vec4(r * glm::vec3(d.startMatrix[i]), d.startMatrix[i].w);
        break;
    }
    case GizmoHandle::ScaleX:
    case GizmoHandle::ScaleY:
    case GizmoHandle::ScaleZ: {
        float s = 0.0f;
        if (!closestOnAxis(ray, d.origin, d.axes[axis], &s))
            return false;
        const float f = snapFactor(s / d.startParam, snapStep);
        d.scale = glm::vec3(1.0f);
        d.scale[axis] = f;
        m[axis] *= f;
        break;
    }
    default:
        return false;
    }
    if (!isFinite(m))
        return false;
    *result = m;
    return true;
}

} // namespace orva
