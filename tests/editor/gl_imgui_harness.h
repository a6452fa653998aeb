#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <imgui.h>

#include "scene/math.h"

// A Dear ImGui context drawn with the OpenGL3 backend into the test GL context (no platform
// backend): the test feeds input events the way the SDL backend would and runs whole frames,
// so panels that show GL textures can be driven like a user would. Needs a display (Xvfb).
namespace orva {
class Framebuffer;
}

namespace orva::test {

class GlImguiHarness {
public:
    GlImguiHarness() = default;
    GlImguiHarness(const GlImguiHarness&) = delete;
    GlImguiHarness& operator=(const GlImguiHarness&) = delete;
    // Shuts the backend down and destroys the context.
    ~GlImguiHarness();

    // Makes the GL context current, creates the ImGui context (no ini file) of `displaySize` points and
    // initialises the OpenGL3 backend. False with a message when there is no GL.
    bool start(const glm::vec2& displaySize, std::string* error);

    // What each frame draws, between ImGui::NewFrame and ImGui::Render.
    std::function<void()> body;

    // Runs `count` frames of 1/60 s, each rendered by the OpenGL3 backend into an offscreen target of
    // the display size (the test window itself is tiny and hidden).
    void frame(int count = 1);
    // The last frame's pixels, RGBA, rows bottom-up; and the same written as a BMP file.
    std::vector<uint8_t> readPixels() const;
    bool saveBmp(const std::string& path) const;

    // Each queues one input event and runs one frame, so no event waits in ImGui's queue.
    void moveMouse(const glm::vec2& p);
    void mouseButton(ImGuiMouseButton button, bool down);
    void wheel(float steps);
    // Sets the modifier keys held from now on (one frame per key that changes).
    void modifiers(bool shift, bool ctrl, bool alt);

    // Gestures: press at `from`, move to `to` in `steps` equal moves, release, then one idle frame.
    void click(const glm::vec2& p, ImGuiMouseButton button = ImGuiMouseButton_Left);
    void dragMouse(const glm::vec2& from, const glm::vec2& to, ImGuiMouseButton button = ImGuiMouseButton_Left,
                   int steps = 4);

private:
    ImGuiContext* context_ = nullptr;
    std::unique_ptr<Framebuffer> target_;
    bool backend_ = false;
    bool shift_ = false, ctrl_ = false, alt_ = false;
};

} // namespace orva::test
