#include "gl_imgui_harness.h"

#include <backends/imgui_impl_opengl3.h>

#include <fstream>

#include "io/bmp.h"
#include "render/framebuffer.h"
#include "render/gl_functions.h"
#include "render/gl_test_context.h"

namespace orva::test {

GlImguiHarness::~GlImguiHarness() {
    if (!context_)
        return;
    ImGui::SetCurrentContext(context_);
    target_.reset();
    if (backend_)
        ImGui_ImplOpenGL3_Shutdown();
    ImGui::DestroyContext(context_);
}

bool GlImguiHarness::start(const glm::vec2& displaySize, std::string* error) {
    if (!ensureGlContext(error))
        return false;
    context_ = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.DisplaySize = ImVec2(displaySize.x, displaySize.y);
    io.DisplayFramebufferScale = ImVec2(1.0f, 1.0f);
    io.DeltaTime = 1.0f / 60.0f;
    if (!ImGui_ImplOpenGL3_Init("#version 330 core")) {
        *error = "the ImGui OpenGL3 backend did not initialise";
        return false;
    }
    backend_ = true;
    target_ = std::make_unique<Framebuffer>();
    Framebuffer::Desc desc;
    desc.width = int(displaySize.x);
    desc.height = int(displaySize.y);
    desc.depth = false;
    if (!target_->create(desc)) {
        *error = "the offscreen target for the interface could not be made";
        return false;
    }
    return true;
}

void GlImguiHarness::frame(int count) {
    for (int i = 0; i < count; ++i) {
        ImGui::GetIO().DeltaTime = 1.0f / 60.0f;
        ImGui_ImplOpenGL3_NewFrame();
        ImGui::NewFrame();
        if (body)
            body();
        ImGui::Render();
        target_->bind();
        gl::glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        gl::glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
        gl::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
}

std::vector<uint8_t> GlImguiHarness::readPixels() const {
    const int w = target_->desc.width, h = target_->desc.height;
    std::vector<uint8_t> rgba(size_t(w) * size_t(h) * 4);
    gl::glBindFramebuffer(GL_FRAMEBUFFER, target_->fbo);
    gl::glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    gl::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return rgba;
}

bool GlImguiHarness::saveBmp(const std::string& path) const {
    const std::vector<uint8_t> rgba = readPixels();
    const std::vector<uint8_t> bmp = io::encodeBmp32(rgba.data(), target_->desc.width, target_->desc.height);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
    return bool(out);
}

void GlImguiHarness::moveMouse(const glm::vec2& p) {
    ImGui::GetIO().AddMousePosEvent(p.x, p.y);
    frame();
}

void GlImguiHarness::mouseButton(ImGuiMouseButton button, bool down) {
    ImGui::GetIO().AddMouseButtonEvent(button, down);
    frame();
}

void GlImguiHarness::wheel(float steps) {
    ImGui::GetIO().AddMouseWheelEvent(0.0f, steps);
    frame();
}

void GlImguiHarness::modifiers(bool shift, bool ctrl, bool alt) {
    const auto set = [&](bool& held, bool want, ImGuiKey mod, ImGuiKey key) {
        if (held == want)
            return;
        held = want;
        ImGui::GetIO().AddKeyEvent(mod, want);
        ImGui::GetIO().AddKeyEvent(key, want);
        frame();
    };
    set(shift_, shift, ImGuiMod_Shift, ImGuiKey_LeftShift);
    set(ctrl_, ctrl, ImGuiMod_Ctrl, ImGuiKey_LeftCtrl);
    set(alt_, alt, ImGuiMod_Alt, ImGuiKey_LeftAlt);
}

void GlImguiHarness::click(const glm::vec2& p, ImGuiMouseButton button) {
    moveMouse(p);
    mouseButton(button, true);
    mouseButton(button, false);
    frame();
}

void GlImguiHarness::dragMouse(const glm::vec2& from, const glm::vec2& to, ImGuiMouseButton button, int steps) {
    moveMouse(from);
    mouseButton(button, true);
    for (int i = 1; i <= steps; ++i)
        moveMouse(from + (to - from) * (float(i) / float(steps)));
    mouseButton(button, false);
    frame();
}

} // namespace orva::test
