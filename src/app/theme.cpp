#include "app/theme.h"

#include "editor/dock_layout.h"

namespace orva {

namespace {

// The palette: a few greys and the accent.
constexpr ImVec4 kPanel{0.145f, 0.145f, 0.153f, 1.0f};  // window and child backgrounds
constexpr ImVec4 kChrome{0.11f, 0.11f, 0.118f, 1.0f};   // title bars, menu bar, tabs, empty dock space
constexpr ImVec4 kControl{0.235f, 0.235f, 0.25f, 1.0f}; // frames, buttons, scrollbar grabs
constexpr ImVec4 kControlHover{0.29f, 0.29f, 0.31f, 1.0f};
constexpr ImVec4 kPressed{0.2f, 0.38f, 0.7f, 1.0f}; // pressed buttons and headers, hovered separators
constexpr ImVec4 kLine{0.06f, 0.06f, 0.07f, 1.0f};  // borders and separators
constexpr ImVec4 kClear{0.0f, 0.0f, 0.0f, 0.0f};

constexpr ImVec4 withAlpha(ImVec4 c, float a) { return ImVec4(c.x, c.y, c.z, a); }
constexpr bool sameColor(ImVec4 a, ImVec4 b) { return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w; }

// ImGui's master branch has no docking style fields; the dock layout keeps the theme's values itself.
constexpr float kDockingSeparatorSize = 2.0f;
constexpr ImVec4 kDockingEmptyBg = kChrome;
constexpr ImVec4 kDockingPreview = withAlpha(kThemeAccent, 0.5f);
static_assert(ui::kDockSeparatorSize == kDockingSeparatorSize, "the dock splitter width follows the theme");
static_assert(sameColor(ui::kDockEmptyBgColor, kDockingEmptyBg), "empty dock space follows the theme");
static_assert(sameColor(ui::kDockPreviewColor, kDockingPreview), "the dragged splitter follows the theme");

void applySizes(ImGuiStyle& style) {
    style.WindowPadding = ImVec2(8.0f, 8.0f);
    style.WindowRounding = 4.0f;
    style.WindowBorderSize = 1.0f;
    style.WindowMenuButtonPosition = ImGuiDir_None;
    style.ChildRounding = 4.0f;
    style.PopupRounding = 4.0f;
    style.FramePadding = ImVec2(6.0f, 4.0f);
    style.FrameRounding = 3.0f;
    style.FrameBorderSize = 0.0f;
    style.ItemSpacing = ImVec2(8.0f, 5.0f);
    style.ItemInnerSpacing = ImVec2(5.0f, 4.0f);
    style.IndentSpacing = 14.0f;
    style.ScrollbarSize = 12.0f;
    style.ScrollbarRounding = 6.0f;
    style.GrabRounding = 3.0f;
    style.TabRounding = 4.0f;
}

void applyColors(ImVec4* c) {
    c[ImGuiCol_Text] = ImVec4(0.88f, 0.88f, 0.89f, 1.0f);
    c[ImGuiCol_TextDisabled] = ImVec4(0.5f, 0.5f, 0.52f, 1.0f);

    c[ImGuiCol_WindowBg] = kPanel;
    c[ImGuiCol_ChildBg] = kPanel;
    c[ImGuiCol_ScrollbarBg] = kPanel;
    c[ImGuiCol_TabDimmedSelected] = kPanel;
    c[ImGuiCol_PopupBg] = ImVec4(0.12f, 0.12f, 0.128f, 0.98f);

    c[ImGuiCol_Border] = kLine;
    c[ImGuiCol_Separator] = kLine;
    c[ImGuiCol_BorderShadow] = kClear;
    c[ImGuiCol_ResizeGrip] = kClear;
    c[ImGuiCol_TabDimmedSelectedOverline] = kClear;

    c[ImGuiCol_FrameBg] = kControl;
    c[ImGuiCol_ScrollbarGrab] = kControl;
    c[ImGuiCol_Button] = kControl;
    c[ImGuiCol_TabHovered] = kControl;
    c[ImGuiCol_FrameBgHovered] = kControlHover;
    c[ImGuiCol_ScrollbarGrabHovered] = kControlHover;
    c[ImGuiCol_ButtonHovered] = kControlHover;
    c[ImGuiCol_FrameBgActive] = ImVec4(0.33f, 0.33f, 0.36f, 1.0f);
    c[ImGuiCol_ScrollbarGrabActive] = ImVec4(0.36f, 0.36f, 0.38f, 1.0f);

    c[ImGuiCol_TitleBg] = kChrome;
    c[ImGuiCol_TitleBgActive] = kChrome;
    c[ImGuiCol_TitleBgCollapsed] = kChrome;
    c[ImGuiCol_MenuBarBg] = kChrome;
    c[ImGuiCol_Tab] = kChrome;
    c[ImGuiCol_TabDimmed] = kChrome;

    c[ImGuiCol_CheckMark] = kThemeAccent;
    c[ImGuiCol_SliderGrab] = kThemeAccent;
    c[ImGuiCol_SliderGrabActive] = kThemeAccent;
    c[ImGuiCol_SeparatorActive] = kThemeAccent;
    c[ImGuiCol_ResizeGripActive] = kThemeAccent;
    c[ImGuiCol_TabSelectedOverline] = kThemeAccent;
    c[ImGuiCol_NavCursor] = kThemeAccent;

    c[ImGuiCol_ButtonActive] = kPressed;
    c[ImGuiCol_HeaderActive] = kPressed;
    c[ImGuiCol_SeparatorHovered] = kPressed;
    c[ImGuiCol_ResizeGripHovered] = kPressed;
    c[ImGuiCol_Header] = ImVec4(0.23f, 0.33f, 0.52f, 0.85f);
    c[ImGuiCol_HeaderHovered] = ImVec4(0.27f, 0.38f, 0.6f, 0.8f);
    c[ImGuiCol_TabSelected] = ImVec4(0.188f, 0.188f, 0.2f, 1.0f);

    c[ImGuiCol_TextSelectedBg] = withAlpha(kThemeAccent, 0.35f);
    c[ImGuiCol_ModalWindowDimBg] = ImVec4(0.0f, 0.0f, 0.0f, 0.45f);
}

} // namespace

void applyEditorTheme(float scale) {
    ImGuiStyle& style = ImGui::GetStyle();
    style = ImGuiStyle();
    ImGui::StyleColorsDark(&style);
    applySizes(style);
    applyColors(style.Colors);
    style.ScaleAllSizes(scale > 0.0f ? scale : 1.0f);
}

} // namespace orva
