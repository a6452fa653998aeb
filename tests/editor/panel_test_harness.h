#pragma once

#include <imgui.h>
#include <imgui_internal.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace orva::test {

// A real ImGui context without a platform or renderer backend, driven the way a backend drives it:
// one input event per frame through the event queue. `draw` submits the panels of one frame.
// Items are found by their ImGui id: `locate` sweeps the mouse over a window until ImGui reports
// the item as hovered, so a test clicks what a user would click, wherever the layout puts it.
class PanelHarness {
public:
    PanelHarness() {
        context = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(1280, 900);
        io.DeltaTime = 1.0f / 60.0f;
        // Font texture updates are requested through the draw data and simply never served.
        io.BackendFlags |= ImGuiBackendFlags_RendererHasTextures;
    }
    ~PanelHarness() { ImGui::DestroyContext(context); }
    PanelHarness(const PanelHarness&) = delete;
    PanelHarness& operator=(const PanelHarness&) = delete;

    void frame(int count = 1) {
        for (int i = 0; i < count; ++i) {
            ImGui::NewFrame();
            if (draw)
                draw();
            ImGui::Render();
        }
    }

    // Ids as a window's items compute them: the window's id, then each pushed string or integer.
    struct IdPath {
        ImGuiID id = 0;
        IdPath str(const char* s) const { return {ImHashStr(s, 0, id)}; }
        IdPath num(int n) const { return {ImHashData(&n, sizeof n, id)}; }
    };
    static IdPath window(const char* name) {
        ImGuiWindow* w = ImGui::FindWindowByName(name);
        EXPECT_NE(w, nullptr) << name;
        return {w ? w->ID : 0};
    }

    // The item hovered in the last frame (0 when none).
    ImGuiID hoveredId() const { return GImGui->HoveredId; }

    void moveTo(ImVec2 p) {
        ImGui::GetIO().AddMousePosEvent(p.x, p.y);
        frame();
    }
    // A point in the middle of the item `id` (vertically) of the window `windowName`; fails the test
    // when no point of the window hovers it. Columns are tried from left to right, from `preferX`
    // (a window-relative x) first when it is given.
    ImVec2 locate(const char* windowName, ImGuiID id, float preferX = -1.0f) {
        ImGuiWindow* w = ImGui::FindWindowByName(windowName);
        if (!w) {
            ADD_FAILURE() << "no window " << windowName;
            return ImVec2(0, 0);
        }
        const ImVec2 min = w->InnerRect.Min, max = w->InnerRect.Max;
        std::vector<float> xs;
        if (preferX >= 0.0f)
            xs.push_back(w->Pos.x + preferX);
        xs.push_back(min.x + 8.0f);
        for (int i = 1; i < 10; ++i)
            xs.push_back(min.x + (max.x - min.x) * float(i) / 10.0f);
        xs.push_back(max.x - 12.0f);
        for (float x : xs) {
            float first = -1.0f, last = -1.0f;
            for (float y = min.y + 1.0f; y < max.y; y += 2.0f) {
                moveTo(ImVec2(x, y));
                if (hoveredId() == id) {
                    if (first < 0.0f)
                        first = y;
                    last = y;
                } else if (first >= 0.0f) {
                    break;
                }
            }
            if (first >= 0.0f)
                return ImVec2(x, (first + last) * 0.5f);
        }
        ADD_FAILURE() << "item " << id << " not found in " << windowName;
        return ImVec2(0, 0);
    }

    void button(ImGuiMouseButton b, bool down) {
        ImGui::GetIO().AddMouseButtonEvent(b, down);
        frame();
    }
    // Half a second without input, so that the next press is not taken as the second of a double-click.
    void pause() { frame(30); }
    void click(ImVec2 p, ImGuiMouseButton b = ImGuiMouseButton_Left) {
        pause();
        moveTo(p);
        button(b, true);
        button(b, false);
    }
    void doubleClick(ImVec2 p) {
        click(p);
        button(ImGuiMouseButton_Left, true);
        button(ImGuiMouseButton_Left, false);
    }
    // Press at `from`, move to `to` in `steps` frames, release.
    void drag(ImVec2 from, ImVec2 to, int steps = 8) {
        pause();
        moveTo(from);
        button(ImGuiMouseButton_Left, true);
        for (int i = 1; i <= steps; ++i) {
            const float t = float(i) / float(steps);
            moveTo(ImVec2(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t));
        }
        button(ImGuiMouseButton_Left, false);
    }
    void key(ImGuiKey k) {
        ImGui::GetIO().AddKeyEvent(k, true);
        frame();
        ImGui::GetIO().AddKeyEvent(k, false);
        frame();
    }
    void modifier(ImGuiKey k, bool down) {
        ImGui::GetIO().AddKeyEvent(k, down);
        frame();
    }
    void type(const std::string& text) {
        for (char c : text) {
            ImGui::GetIO().AddInputCharacter(static_cast<unsigned char>(c));
            frame();
        }
    }

    ImGuiContext* context = nullptr;
    std::function<void()> draw;
};

} // namespace orva::test
