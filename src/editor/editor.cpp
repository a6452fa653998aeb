#include "editor/editor.h"

#include <filesystem>

#include <imgui.h>

#include "version.h"

namespace orva {

namespace {

double imguiTime() { return ImGui::GetCurrentContext() ? ImGui::GetTime() : 0.0; }

} // namespace

Editor::Editor(SDL_Window* w) : window(w) {}

Editor::~Editor() { shutdown(); }

bool Editor::initialize(std::string* /*error*/) {
    status(std::string("Welcome to ") + kAppName + " " + kAppVersion);
    return true;
}

void Editor::shutdown() {}

std::string Editor::windowTitle() const { return std::string(kAppName) + " - Untitled"; }

void Editor::status(const std::string& message) {
    statusMessage = message;
    statusTime = imguiTime();
}

void Editor::handleDroppedFile(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    status("Cannot open " + name + ": this build does not read files yet");
}

void Editor::requestQuit() { shouldQuit = true; }

void Editor::frame() {
    const ImGuiViewport* vp = ImGui::GetMainViewport();
    const float barHeight = ImGui::GetFrameHeight();
    ImGui::SetNextWindowPos(vp->WorkPos);
    ImGui::SetNextWindowSize(ImVec2(vp->WorkSize.x, vp->WorkSize.y - barHeight));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus;
    if (ImGui::Begin("##MainArea", nullptr, flags)) {
        const char* text = kAppName;
        const ImVec2 size = ImGui::CalcTextSize(text);
        ImGui::SetCursorPos(
            ImVec2((ImGui::GetWindowWidth() - size.x) * 0.5f, (ImGui::GetWindowHeight() - size.y) * 0.5f));
        ImGui::TextDisabled("%s", text);
    }
    ImGui::End();
    drawStatusBar();
}

void Editor::drawStatusBar() {
    const ImGuiViewport* vp = ImGui::GetMainViewport();
    const float barHeight = ImGui::GetFrameHeight();
    ImGui::SetNextWindowPos(ImVec2(vp->WorkPos.x, vp->WorkPos.y + vp->WorkSize.y - barHeight));
    ImGui::SetNextWindowSize(ImVec2(vp->WorkSize.x, barHeight));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollWithMouse;
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(8.0f, 0.0f));
    if (ImGui::Begin("##StatusBar", nullptr, flags)) {
        ImGui::AlignTextToFramePadding();
        // A message stays bright for eight seconds, then dims.
        const bool fresh = imguiTime() - statusTime < 8.0;
        ImGui::TextColored(fresh ? ImVec4(0.9f, 0.9f, 0.9f, 1.0f) : ImVec4(0.55f, 0.55f, 0.57f, 1.0f), "%s",
                           statusMessage.c_str());
    }
    ImGui::End();
    ImGui::PopStyleVar();
}

} // namespace orva
