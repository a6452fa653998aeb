// The start-up splash: the artwork over a dark veil for 1.6 s, fading out over 0.5 s; a click,
// Escape, Enter or Space ends it at once. It never returns once it has ended.

#include "editor/editor.h"

#include <algorithm>

#include <imgui.h>

#include "version.h"

namespace orva {

namespace {

constexpr double kSplashHoldSeconds = 1.6;
constexpr double kSplashEndSeconds = 2.1;

} // namespace

void Editor::drawSplash() {
    if (splashDone || branding.splash.texture == 0)
        return;
    const double now = ImGui::GetTime();
    if (splashStart < 0.0)
        splashStart = now;
    const double t = now - splashStart;
    if (t > kSplashEndSeconds) {
        splashDone = true;
        return;
    }
    const float alpha =
        t < kSplashHoldSeconds ? 1.0f : std::clamp(float(1.0 - (t - kSplashHoldSeconds) * 2.0), 0.0f, 1.0f);

    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(viewport->Pos);
    ImGui::SetNextWindowSize(viewport->Size);
    ImGui::SetNextWindowFocus();
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0.0f, 0.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0.0f);
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoCollapse |
                                   ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoSavedSettings |
                                   ImGuiWindowFlags_NoNav;
    const bool visible = ImGui::Begin("##splash", nullptr, flags);
    ImGui::PopStyleVar(2);
    if (visible) {
        ImDrawList* draw = ImGui::GetWindowDrawList();
        const ImVec2 min = viewport->Pos;
        const ImVec2 max(min.x + viewport->Size.x, min.y + viewport->Size.y);
        draw->AddRectFilled(min, max, ImGui::GetColorU32(ImVec4(0.06f, 0.06f, 0.07f, 0.92f * alpha)));

        const float side = 0.5f * std::min(viewport->Size.x, viewport->Size.y);
        const ImVec2 size = branding.splash.fit(side, side);
        const ImVec2 centre(min.x + 0.5f * viewport->Size.x, min.y + 0.47f * viewport->Size.y);
        const ImVec2 imageMin(centre.x - 0.5f * size.x, centre.y - 0.5f * size.y);
        const ImVec2 imageMax(centre.x + 0.5f * size.x, centre.y + 0.5f * size.y);
        draw->AddImage(ImTextureRef(ImTextureID(branding.splash.texture)), imageMin, imageMax, ImVec2(0.0f, 0.0f),
                       ImVec2(1.0f, 1.0f), ImGui::GetColorU32(ImVec4(1.0f, 1.0f, 1.0f, alpha)));

        const std::string caption = std::string("3D Studio ") + kAppVersion;
        const ImVec2 textSize = ImGui::CalcTextSize(caption.c_str());
        const ImVec2 textPos(centre.x - 0.5f * textSize.x, imageMax.y + ImGui::GetTextLineHeight());
        draw->AddText(textPos, ImGui::GetColorU32(ImVec4(0.7f, 0.72f, 0.78f, alpha)), caption.c_str());

        ImGui::SetCursorScreenPos(min);
        const bool clicked = ImGui::InvisibleButton("##dismiss", viewport->Size);
        const bool key = ImGui::IsKeyPressed(ImGuiKey_Escape, false) || ImGui::IsKeyPressed(ImGuiKey_Enter, false) ||
                         ImGui::IsKeyPressed(ImGuiKey_KeypadEnter, false) || ImGui::IsKeyPressed(ImGuiKey_Space, false);
        if (clicked || key)
            splashDone = true;
    }
    ImGui::End();
}

} // namespace orva
