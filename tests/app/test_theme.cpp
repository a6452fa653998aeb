#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <imgui.h>

#include "app/theme.h"

namespace {

// A bare ImGui context: the theme only touches the style.
class ThemeTest : public ::testing::Test {
protected:
    void SetUp() override { context = ImGui::CreateContext(); }
    void TearDown() override { ImGui::DestroyContext(context); }
    ImGuiContext* context = nullptr;
};

::testing::AssertionResult sameColor(const ImVec4& got, const ImVec4& want) {
    if (got.x == want.x && got.y == want.y && got.z == want.z && got.w == want.w)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << got.x << ", " << got.y << ", " << got.z << ", " << got.w
                                         << ") instead of (" << want.x << ", " << want.y << ", " << want.z << ", "
                                         << want.w << ")";
}

} // namespace

// Every size of the theme, doubled by a content scale of 2.
TEST_F(ThemeTest, SizesAtScaleTwo) {
    orva::applyEditorTheme(2.0f);
    const ImGuiStyle& s = ImGui::GetStyle();
    struct Case {
        const char* field;
        ImVec2 got, want;
    };
    const Case cases[] = {
        {"WindowPadding", s.WindowPadding, {16, 16}},
        {"FramePadding", s.FramePadding, {12, 8}},
        {"ItemSpacing", s.ItemSpacing, {16, 10}},
        {"ItemInnerSpacing", s.ItemInnerSpacing, {10, 8}},
        {"WindowRounding", {s.WindowRounding, 0}, {8, 0}},
        {"ChildRounding", {s.ChildRounding, 0}, {8, 0}},
        {"PopupRounding", {s.PopupRounding, 0}, {8, 0}},
        {"FrameRounding", {s.FrameRounding, 0}, {6, 0}},
        {"IndentSpacing", {s.IndentSpacing, 0}, {28, 0}},
        {"ScrollbarSize", {s.ScrollbarSize, 0}, {24, 0}},
        {"ScrollbarRounding", {s.ScrollbarRounding, 0}, {12, 0}},
        {"GrabRounding", {s.GrabRounding, 0}, {6, 0}},
        {"TabRounding", {s.TabRounding, 0}, {8, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(c.got.x, c.want.x) << c.field;
        EXPECT_FLOAT_EQ(c.got.y, c.want.y) << c.field;
    }
    // Border sizes are not scaled by ImGui: a one-pixel border stays one pixel.
    EXPECT_FLOAT_EQ(s.WindowBorderSize, 1.0f);
    EXPECT_FLOAT_EQ(s.FrameBorderSize, 0.0f);
    EXPECT_EQ(s.WindowMenuButtonPosition, ImGuiDir_None);
}

// The style is reset first, so a value set before the call does not survive it; colours the theme does
// not name keep the dark preset's values.
TEST_F(ThemeTest, ResetsThenColours) {
    ImGuiStyle& style = ImGui::GetStyle();
    style.Alpha = 0.3f;
    style.Colors[ImGuiCol_PlotLines] = ImVec4(1, 0, 1, 1);
    orva::applyEditorTheme(1.0f);
    EXPECT_FLOAT_EQ(style.Alpha, 1.0f);

    ImGuiStyle dark;
    ImGui::StyleColorsDark(&dark);
    EXPECT_TRUE(sameColor(style.Colors[ImGuiCol_PlotLines], dark.Colors[ImGuiCol_PlotLines]));
    EXPECT_TRUE(sameColor(style.Colors[ImGuiCol_DragDropTarget], dark.Colors[ImGuiCol_DragDropTarget]));

    const ImVec4 accent = orva::kThemeAccent;
    EXPECT_TRUE(sameColor(style.Colors[ImGuiCol_CheckMark], accent));
    EXPECT_TRUE(sameColor(style.Colors[ImGuiCol_NavCursor], accent));
    EXPECT_TRUE(sameColor(style.Colors[ImGuiCol_TextSelectedBg], ImVec4(accent.x, accent.y, accent.z, 0.35f)));
    EXPECT_TRUE(sameColor(style.Colors[ImGuiCol_WindowBg], ImVec4(0.145f, 0.145f, 0.153f, 1)));
    EXPECT_TRUE(sameColor(style.Colors[ImGuiCol_TabDimmedSelectedOverline], ImVec4(0, 0, 0, 0)));
    EXPECT_TRUE(sameColor(style.Colors[ImGuiCol_ModalWindowDimBg], ImVec4(0, 0, 0, 0.45f)));
}

// A display that reports no usable scale gets the unscaled sizes, not zero or NaN sizes.
TEST_F(ThemeTest, UnusableScaleCountsAsOne) {
    for (float scale : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        orva::applyEditorTheme(scale);
        EXPECT_FLOAT_EQ(ImGui::GetStyle().FramePadding.x, 6.0f) << scale;
        EXPECT_FLOAT_EQ(ImGui::GetStyle().FrameRounding, 3.0f) << scale;
    }
}
