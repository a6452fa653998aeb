#include "render/renderer_shaders.h"

namespace orva {

// [SECTION] mesh

const char* const kMeshVertexSource = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv;

uniform mat4 uModel;
uniform mat4 uView;
uniform mat4 uProj;
uniform mat3 uNormalView;

out vec3 vViewPosition;
out vec3 vViewNormal;
out vec2 vUv;

void main() {
    vec4 viewPosition = uView * uModel * vec4(aPosition, 1.0);
    vViewPosition = viewPosition.xyz;
    vViewNormal = uNormalView * aNormal;
    vUv = aUv;
    gl_Position = uProj * viewPosition;
}
)";

const char* const kMeshFragmentSource = R"(#version 330 core
in vec3 vViewPosition;
in vec3 vViewNormal;
in vec2 vUv;

uniform vec4 uBaseColor;
uniform bool uHasTexture;
uniform sampler2D uBaseColorTexture;
uniform vec2 uUvScale;
uniform vec2 uUvOffset;
uniform float uUvRotation; // radians
uniform float uMetallic;
uniform float uRoughness;
uniform float uAlpha;
uniform bool uOrtho;

out vec4 fragColor;

const float PI = 3.14159265;

// One directional light of the Cook-Torrance model (GGX distribution, Schlick Fresnel,
// Schlick-GGX geometry).
vec3 shade(vec3 N, vec3 V, vec3 L, float radiance, vec3 albedo, float roughness, float metallic) {
    vec3 H = normalize(V + L);
    float NdotL = max(dot(N, L), 0.0);
    float NdotV = max(dot(N, V), 1e-4);
    float NdotH = max(dot(N, H), 0.0);
    float a = max(roughness * roughness, 0.02);
    vec3 F0 = mix(vec3(0.04), albedo, metallic);
    vec3 F = F0 + (1.0 - F0) * pow(1.0 - max(dot(H, V), 0.0), 5.0);
    float a2 = a * a;
    float d = NdotH * NdotH * (a2 - 1.0) + 1.0;
    float D = a2 / (PI * d * d);
    float k = (a + 1.0) * (a + 1.0) / 8.0;
    float G = (NdotV / (NdotV * (1.0 - k) + k)) * (NdotL / (NdotL * (1.0 - k) + k));
    vec3 specular = D * G * F / (4.0 * NdotV * max(NdotL, 1e-4));
    vec3 kd = (1.0 - F) * (1.0 - metallic);
    return (kd * albedo / PI + specular) * radiance * NdotL;
}

void main() {
    vec3 N = normalize(vViewNormal);
    if (!gl_FrontFacing)
        N = -N; // two-sided lighting
    vec3 V = uOrtho ? vec3(0.0, 0.0, 1.0) : normalize(-vViewPosition);

    vec4 base = uBaseColor;
    if (uHasTexture) {
        // KHR_texture_transform convention: V points down in texture space.
        vec2 uv = vec2(vUv.x, 1.0 - vUv.y) * uUvScale;
        float c = cos(uUvRotation);
        float s = sin(uUvRotation);
        uv = vec2(c * uv.x + s * uv.y, -s * uv.x + c * uv.y) + uUvOffset;
        base *= texture(uBaseColorTexture, uv);
    }
    vec3 albedo = base.rgb;
    float roughness = clamp(uRoughness, 0.04, 1.0);
    float metallic = uMetallic;

    // Key, fill and rim lights, fixed in view space.
    vec3 color = shade(N, V, normalize(vec3(-0.45, 0.65, 0.60)), 2.6, albedo, roughness, metallic);
    color += shade(N, V, normalize(vec3(0.70, 0.15, 0.45)), 0.9, albedo, roughness, metallic);
    color += shade(N, V, normalize(vec3(0.10, 0.60, -0.80)), 1.1, albedo, roughness, metallic);

    float h = N.y * 0.5 + 0.5;
    vec3 ambient = mix(vec3(0.10, 0.10, 0.11), vec3(0.28, 0.29, 0.31), h);
    color += ambient * albedo * (1.0 - 0.7 * metallic) + ambient * 0.25 * metallic * albedo;

    color = color / (color + 1.0);
    color = pow(color, vec3(1.0 / 2.2));
    fragColor = vec4(color, base.a * uAlpha);
}
)";

// [SECTION] color

const char* const kColorVertexSource = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec4 aColor;

uniform mat4 uMVP;
uniform float uDepthBias; // towards the viewer, in normalised depth
uniform float uPointSize; // diameter in pixels

out vec4 vColor;

void main() {
    vec4 position = uMVP * vec4(aPosition, 1.0);
    position.z -= uDepthBias * position.w;
    gl_Position = position;
    gl_PointSize = uPointSize;
    vColor = aColor;
}
)";

const char* const kColorFragmentSource = R"(#version 330 core
in vec4 vColor;

uniform bool uRoundPoints;

out vec4 fragColor;

void main() {
    if (uRoundPoints && length(gl_PointCoord - vec2(0.5)) > 0.5)
        discard;
    fragColor = vColor;
}
)";

// [SECTION] grid

const char* const kGridVertexSource = R"(#version 330 core
uniform mat4 uViewProj;
uniform vec3 uCenter;
uniform float uExtent;

out vec3 vWorld;

const vec2 kCorners[6] = vec2[6](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(1.0, 1.0),
                                 vec2(-1.0, -1.0), vec2(1.0, 1.0), vec2(-1.0, 1.0));

void main() {
    vec2 corner = kCorners[gl_VertexID] * uExtent;
    vWorld = vec3(uCenter.x + corner.x, 0.0, uCenter.z + corner.y);
    gl_Position = uViewProj * vec4(vWorld, 1.0);
}
)";

const char* const kGridFragmentSource = R"(#version 330 core
in vec3 vWorld;

uniform vec3 uCameraPos;
uniform float uFadeDistance;
uniform float uScale;

out vec4 fragColor;

// 1 on a line of the unit lattice, falling to 0 over `width` pixels. fwidth is kept above zero
// so a plane seen exactly edge-on gives no line instead of NaN.
float lineStrength(vec2 c, float width) {
    vec2 g = abs(fract(c - 0.5) - 0.5) / max(fwidth(c), vec2(1e-6));
    return 1.0 - min(min(g.x, g.y) / width, 1.0);
}

float axisStrength(float c) {
    return 1.0 - min(abs(c) / (1.5 * max(fwidth(c), 1e-6)), 1.0);
}

void main() {
    vec2 p = vWorld.xz / uScale;
    float minor = lineStrength(p, 1.0);
    float major = lineStrength(p / 10.0, 1.2);
    vec4 color = vec4(0.36, 0.36, 0.36, 0.55 * minor);
    color = mix(color, vec4(0.42, 0.42, 0.42, 0.8), major);
    // The axes are drawn in world units, whatever the scale.
    color = mix(color, vec4(0.86, 0.27, 0.30, 1.0), axisStrength(vWorld.z));
    color = mix(color, vec4(0.27, 0.49, 0.90, 1.0), axisStrength(vWorld.x));

    float dist = distance(uCameraPos, vWorld);
    color.a *= 1.0 - smoothstep(0.35 * uFadeDistance, uFadeDistance, dist);
    color.a *= mix(0.35, 1.0, clamp(abs(uCameraPos.y) / max(dist, 1e-4) * 4.0, 0.0, 1.0));
    if (color.a < 0.004)
        discard;
    fragColor = color;
}
)";

// [SECTION] mask

const char* const kMaskVertexSource = R"(#version 330 core
layout(location = 0) in vec3 aPosition;

uniform mat4 uMVP;

void main() {
    gl_Position = uMVP * vec4(aPosition, 1.0);
}
)";

const char* const kMaskFragmentSource = R"(#version 330 core
uniform float uValue;

out vec4 fragColor;

void main() {
    fragColor = vec4(uValue);
}
)";

// [SECTION] outline

const char* const kOutlineVertexSource = R"(#version 330 core
out vec2 vUv;

void main() {
    vec2 p = vec2((gl_VertexID * 2) & 2, gl_VertexID & 2);
    vUv = p;
    gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const kOutlineFragmentSource = R"(#version 330 core
in vec2 vUv;

uniform sampler2D uMask;
uniform vec2 uTexel;
uniform float uRadius; // band width in pixels
uniform vec4 uSelectedColor;
uniform vec4 uActiveColor;

out vec4 fragColor;

void main() {
    float centre = texture(uMask, vUv).r;
    float maxN = 0.0;
    for (int y = -1; y <= 1; ++y)
        for (int x = -1; x <= 1; ++x)
            maxN = max(maxN, texture(uMask, vUv + vec2(x, y) * uTexel * uRadius).r);
    if (centre > 0.01 || maxN < 0.01)
        discard; // inside a selected silhouette, or no selected object near
    fragColor = maxN > 0.75 ? uActiveColor : uSelectedColor;
}
)";

} // namespace orva
