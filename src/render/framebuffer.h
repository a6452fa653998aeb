#pragma once

#include <cstdint>

namespace orva {

// An offscreen render target: single-sampled with a colour texture the interface can show and
// later passes can sample, or multisampled with renderbuffers that `blitTo` resolves into a
// single-sampled target. Empty (all names 0) until `create` succeeds. Main thread, context current.
class Framebuffer {
public:
    struct Desc {
        int width = 1;                 // pixels; raised to at least 1
        int height = 1;                // pixels; raised to at least 1
        int samples = 1;               // below 2: colour texture; 2 or more: multisampled renderbuffers
        bool depth = true;             // adds a depth-stencil renderbuffer
        uint32_t colorFormat = 0x8058; // sized internal format; GL_RGBA8 by default
    };

    Framebuffer() = default;
    ~Framebuffer();
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    // Releases any previous objects and builds the target. False when the driver reports the
    // framebuffer incomplete; the framebuffer is then empty and the caller decides what next.
    bool create(const Desc& desc);
    // Re-creates the target only when the (clamped) size differs or nothing exists yet; cheap
    // enough to call every frame.
    bool ensureSize(int width, int height);
    // Binds the framebuffer and sets the viewport to the whole target.
    void bind() const;
    // Copies (or resolves) colour into `destination`, scaled to its size, then binds
    // framebuffer 0.
    void blitTo(const Framebuffer& destination) const;
    // Releases all GL objects; only when the GL table is loaded.
    void destroy();

    Desc desc;
    uint32_t fbo = 0;
    uint32_t colorTexture = 0;
    uint32_t colorRenderbuffer = 0;
    uint32_t depthRenderbuffer = 0;
};

} // namespace orva
