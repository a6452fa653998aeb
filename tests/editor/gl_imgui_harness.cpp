#include "gl_imgui_harness.h"

#include <backends/imgui_impl_opengl3.h>

#include "render/gl_test_context.h"

namespace orva::test {

GlImguiHarness::~GlImguiHarness() {
    if (!context_)
        return;
    ImGui::SetCurrentContext(context_);
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
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    }
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
