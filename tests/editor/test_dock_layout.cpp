#include "editor/dock_layout.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include "support/temp_dir.h"

namespace orva::ui {
namespace {

// The work area of most tests: 1600 x 900 at (10, 20), with 2-pixel separators. In the default
// layout that gives:
//   Tools       0.17 of 1598 -> 272 wide; the rest starts at x 284 and is 1326 wide
//   right column 0.26 of 1324 -> 344 wide at x 1266; the middle column is 980 wide
//   Explorer    0.22 of 898  -> 198 high at y 722; the Viewport above it is 700 high
//   Outliner    0.38 of 898  -> 341 high; Properties starts at y 363 and is 557 high
constexpr ImVec2 kPos{10.0f, 20.0f};
constexpr ImVec2 kSize{1600.0f, 900.0f};

const char* const kPanels[] = {kViewportWindow, kOutlinerWindow, kPropertiesWindow,
                               kToolsWindow,    kUvEditorWindow, kExplorerWindow};

const char* const kDefaultText = "Split=X 0.17\n"
                                 "Leaf=0 Tools\n"
                                 "Split=X 0.74\n"
                                 "Split=Y 0.78\n"
                                 "Leaf=0 Viewport\n"
                                 "Leaf=0 Explorer\n"
                                 "Split=Y 0.38\n"
                                 "Leaf=0 Outliner;UV Editor\n"
                                 "Leaf=0 Properties\n";

std::string text(const DockRect& r) {
    char buf[96];
    std::snprintf(buf, sizeof(buf), "(%g, %g) %g x %g", r.pos.x, r.pos.y, r.size.x, r.size.y);
    return buf;
}

std::string text(float x, float y, float w, float h) { return text(DockRect{ImVec2(x, y), ImVec2(w, h)}); }

struct PanelFlags {
    bool outliner = true;
    bool properties = true;
    bool tools = true;
    bool uvEditor = true;
    bool explorer = true;

    bool* flag(const std::string& name) {
        if (name == kOutlinerWindow)
            return &outliner;
        if (name == kPropertiesWindow)
            return &properties;
        if (name == kToolsWindow)
            return &tools;
        if (name == kUvEditorWindow)
            return &uvEditor;
        if (name == kExplorerWindow)
            return &explorer;
        return nullptr; // the Viewport cannot be closed
    }
};

void bindPanels(DockLayout* dock, PanelFlags* flags) {
    for (const char* name : kPanels)
        dock->bindWindow(name, flags->flag(name));
}

class DockLayoutTest : public testing::Test {
protected:
    void SetUp() override {
        bindPanels(&dock, &flags);
        dock.buildDefault(false);
        dock.update(kPos, kSize);
    }

    std::string rectOf(const char* name) const {
        DockRect r;
        if (!dock.leafRect(name, &r))
            return std::string("hidden ") + name;
        return text(r);
    }

    // The split whose gap contains `p`, or -1.
    int splitAt(ImVec2 p) const {
        for (size_t i = 0; i < dock.nodes().size(); ++i) {
            DockRect gap;
            if (dock.splitterRect(int(i), &gap) && p.x >= gap.pos.x && p.y >= gap.pos.y &&
                p.x < gap.pos.x + gap.size.x && p.y < gap.pos.y + gap.size.y)
                return int(i);
        }
        return -1;
    }

    PanelFlags flags;
    DockLayout dock;
};

// [SECTION] Default and UV Editing layouts

TEST_F(DockLayoutTest, DefaultLayoutPlacesEveryPanel) {
    struct Case {
        const char* window;
        float x, y, w, h;
    };
    const Case cases[] = {
        {kToolsWindow, 10, 20, 272, 900},      {kViewportWindow, 284, 20, 980, 700},
        {kExplorerWindow, 284, 722, 980, 198}, {kOutlinerWindow, 1266, 20, 344, 341},
        {kUvEditorWindow, 1266, 20, 344, 341}, {kPropertiesWindow, 1266, 363, 344, 557},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rectOf(c.window), text(c.x, c.y, c.w, c.h)) << c.window;

    // The UV Editor is a tab behind the Outliner.
    const int shared = dock.nodeOf(kOutlinerWindow);
    EXPECT_EQ(dock.nodeOf(kUvEditorWindow), shared);
    EXPECT_EQ(dock.frontWindow(shared), kOutlinerWindow);
    EXPECT_TRUE(dock.nodes()[shared].tabs);
    EXPECT_FALSE(dock.isSeparateUvNode());
    EXPECT_EQ(dock.serialize(), kDefaultText);
}

TEST_F(DockLayoutTest, DefaultRatiosHoldAtEveryWindowSize) {
    // Each split gives its child the stated share of what the separator leaves, to the pixel.
    const ImVec2 sizes[] = {{800, 500}, {1440, 877}, {2560, 1377}, {1000, 2000}};
    for (const ImVec2 size : sizes) {
        dock.update(ImVec2(0, 0), size);
        DockRect tools, viewport, explorer, outliner, properties;
        dock.leafRect(kToolsWindow, &tools);
        dock.leafRect(kViewportWindow, &viewport);
        dock.leafRect(kExplorerWindow, &explorer);
        dock.leafRect(kOutlinerWindow, &outliner);
        dock.leafRect(kPropertiesWindow, &properties);
        const float centre = size.x - tools.size.x - 2;
        const float column = outliner.size.y + properties.size.y;
        SCOPED_TRACE(text(DockRect{ImVec2(0, 0), size}));
        EXPECT_NEAR(tools.size.x, 0.17f * (size.x - 2), 0.5f);
        EXPECT_NEAR(outliner.size.x, 0.26f * (centre - 2), 0.5f);
        EXPECT_NEAR(explorer.size.y, 0.22f * (size.y - 2), 0.5f);
        EXPECT_NEAR(outliner.size.y, 0.38f * column, 0.5f);
        EXPECT_EQ(properties.pos.y + properties.size.y, size.y);
        EXPECT_EQ(outliner.pos.x + outliner.size.x, size.x);
        EXPECT_EQ(viewport.size.x + outliner.size.x + tools.size.x + 4, size.x);
    }
}

TEST_F(DockLayoutTest, UvEditingLayoutSplitsTheCentre) {
    // A new tree is laid out over the last area at once: panels placed later in the same frame
    // must not land in the old tree's rectangles.
    dock.buildDefault(true);
    // The centre (980 x 700) splits in half: 978 / 2 = 489 on each side of the gap.
    EXPECT_EQ(rectOf(kViewportWindow), text(284, 20, 489, 700));
    EXPECT_EQ(rectOf(kUvEditorWindow), text(775, 20, 489, 700));
    EXPECT_EQ(rectOf(kOutlinerWindow), text(1266, 20, 344, 341));
    EXPECT_EQ(rectOf(kExplorerWindow), text(284, 722, 980, 198));
    EXPECT_TRUE(dock.isSeparateUvNode());
    EXPECT_FALSE(dock.nodes()[dock.nodeOf(kOutlinerWindow)].tabs);

    dock.buildDefault(false);
    EXPECT_FALSE(dock.isSeparateUvNode());
}

TEST_F(DockLayoutTest, BuildingOpensEveryPanelWithTheOutlinerInFront) {
    flags = PanelFlags{false, false, false, false, false};
    dock.selectTab(kUvEditorWindow);
    dock.buildDefault(false);
    for (const char* name : kPanels)
        EXPECT_TRUE(dock.isWindowOpen(name)) << name;
    EXPECT_TRUE(flags.outliner && flags.properties && flags.tools && flags.uvEditor && flags.explorer);
    dock.update(kPos, kSize);
    EXPECT_EQ(dock.frontWindow(dock.nodeOf(kOutlinerWindow)), kOutlinerWindow);
}

// [SECTION] Closing panels and tabs

TEST_F(DockLayoutTest, ClosedPanelGivesItsSpaceAwayOnlyWhenItsLeafEmpties) {
    struct Case {
        std::vector<const char*> closed;
        const char* window;
        const char* expected;
    };
    const std::string wideViewport = text(284, 20, 1326, 700);
    const Case cases[] = {
        // The Explorer's leaf empties: the Viewport takes the whole middle column.
        {{kExplorerWindow}, kViewportWindow, "(284, 20) 980 x 900"},
        // The UV Editor still shows in the Outliner's leaf, which keeps its space.
        {{kOutlinerWindow}, kUvEditorWindow, "(1266, 20) 344 x 341"},
        {{kOutlinerWindow}, kPropertiesWindow, "(1266, 363) 344 x 557"},
        {{kOutlinerWindow, kUvEditorWindow}, kPropertiesWindow, "(1266, 20) 344 x 900"},
        // The whole right column empties: the middle column takes its width.
        {{kOutlinerWindow, kUvEditorWindow, kPropertiesWindow}, kViewportWindow, "(284, 20) 1326 x 700"},
        {{kOutlinerWindow, kUvEditorWindow, kPropertiesWindow}, kExplorerWindow, "(284, 722) 1326 x 198"},
        // Without Tools the rest spans the width: 0.74 of 1598 rounds to 1183.
        {{kToolsWindow}, kViewportWindow, "(10, 20) 1183 x 700"},
        {{kToolsWindow}, kOutlinerWindow, "(1195, 20) 415 x 341"},
        {{kToolsWindow, kOutlinerWindow, kUvEditorWindow, kPropertiesWindow, kExplorerWindow},
         kViewportWindow,
         "(10, 20) 1600 x 900"},
    };
    const std::vector<std::string> before = {rectOf(kToolsWindow), rectOf(kViewportWindow), rectOf(kExplorerWindow),
                                             rectOf(kOutlinerWindow), rectOf(kPropertiesWindow)};
    for (const Case& c : cases) {
        for (const char* name : c.closed)
            *flags.flag(name) = false;
        dock.update(kPos, kSize);
        std::string closed;
        for (const char* name : c.closed)
            closed += std::string(name) + ", ";
        EXPECT_EQ(rectOf(c.window), c.expected) << c.window << " with closed: " << closed;

        // Reopening restores the layout exactly: closing never changes a ratio.
        flags = PanelFlags{};
        dock.update(kPos, kSize);
        const std::vector<std::string> after = {rectOf(kToolsWindow), rectOf(kViewportWindow), rectOf(kExplorerWindow),
                                                rectOf(kOutlinerWindow), rectOf(kPropertiesWindow)};
        EXPECT_EQ(after, before) << "after reopening " << closed;
    }
}

TEST_F(DockLayoutTest, TabsFollowSelectionAndOpenFlags) {
    const int shared = dock.nodeOf(kOutlinerWindow);
    EXPECT_TRUE(dock.selectTab(kUvEditorWindow));
    EXPECT_EQ(dock.frontWindow(shared), kUvEditorWindow);
    EXPECT_FALSE(dock.selectTab("Nowhere"));

    // Closing the front tab shows the other one, alone, with no tab strip.
    flags.uvEditor = false;
    dock.update(kPos, kSize);
    EXPECT_EQ(dock.frontWindow(shared), kOutlinerWindow);
    EXPECT_FALSE(dock.nodes()[shared].tabs);

    // A panel opened again comes to the front of its tabs, so the user sees what was asked for.
    flags.uvEditor = true;
    dock.update(kPos, kSize);
    EXPECT_EQ(dock.frontWindow(shared), kUvEditorWindow);
    EXPECT_TRUE(dock.nodes()[shared].tabs);
    flags.outliner = false;
    dock.update(kPos, kSize);
    flags.outliner = true;
    dock.update(kPos, kSize);
    EXPECT_EQ(dock.frontWindow(shared), kOutlinerWindow);

    flags.outliner = flags.uvEditor = false;
    dock.update(kPos, kSize);
    EXPECT_EQ(dock.frontWindow(shared), "");
}

// [SECTION] Splitters

TEST_F(DockLayoutTest, SplitterDragIsClampedAndKeepsOtherBoundaries) {
    struct Case {
        ImVec2 gapPoint; // a point inside the gap of the split to drag
        float to;        // requested gap start
        const char* window;
        const char* expected;
    };
    const Case cases[] = {
        // Tools grows until the Viewport (its touching pane) is 32 wide; the right column stays.
        {{282.5f, 100}, 5000, kViewportWindow, "(1232, 20) 32 x 700"},
        {{282.5f, 100}, 5000, kToolsWindow, "(10, 20) 1220 x 900"},
        {{282.5f, 100}, 5000, kOutlinerWindow, "(1266, 20) 344 x 341"},
        {{282.5f, 100}, -100, kToolsWindow, "(10, 20) 32 x 900"},
        {{282.5f, 100}, -100, kViewportWindow, "(44, 20) 1220 x 700"},
        // The right column's edge: Tools stays.
        {{1264.5f, 100}, 0, kViewportWindow, "(284, 20) 32 x 700"},
        {{1264.5f, 100}, 0, kOutlinerWindow, "(318, 20) 1292 x 341"},
        {{1264.5f, 100}, 0, kToolsWindow, "(10, 20) 272 x 900"},
        // Vertical splitters.
        {{500, 720.5f}, 0, kViewportWindow, "(284, 20) 980 x 32"},
        {{500, 720.5f}, 0, kExplorerWindow, "(284, 54) 980 x 866"},
        {{1300, 361.5f}, 2000, kPropertiesWindow, "(1266, 888) 344 x 32"},
        {{1300, 361.5f}, 2000, kOutlinerWindow, "(1266, 20) 344 x 866"},
        // An ordinary drag lands where asked, rounded to whole pixels.
        {{282.5f, 100}, 400.4f, kToolsWindow, "(10, 20) 390 x 900"},
        {{282.5f, 100}, 400.4f, kViewportWindow, "(402, 20) 862 x 700"},
    };
    for (const Case& c : cases) {
        dock.buildDefault(false);
        dock.update(kPos, kSize);
        const int split = splitAt(c.gapPoint);
        ASSERT_GE(split, 0) << text(DockRect{c.gapPoint, ImVec2()});
        EXPECT_TRUE(dock.moveSplitter(split, c.to));
        EXPECT_EQ(rectOf(c.window), c.expected) << c.window << " after dragging to " << c.to;
        // A later frame lays the same ratios out identically.
        const std::string once = rectOf(c.window);
        dock.update(kPos, kSize);
        EXPECT_EQ(rectOf(c.window), once);
        for (const DockNode& n : dock.nodes())
            EXPECT_TRUE(n.ratio >= 0.0f && n.ratio <= 1.0f) << n.ratio;
    }
}

TEST_F(DockLayoutTest, SplitterRejectsWhatCannotMove) {
    const int root = dock.root();
    EXPECT_FALSE(dock.moveSplitter(-1, 100));
    EXPECT_FALSE(dock.moveSplitter(int(dock.nodes().size()), 100));
    EXPECT_FALSE(dock.moveSplitter(dock.nodeOf(kToolsWindow), 100)); // a leaf
    EXPECT_FALSE(dock.moveSplitter(root, std::nanf("")));
    EXPECT_FALSE(dock.moveSplitter(root, 282)); // already there
    // A hidden side has no splitter.
    flags.tools = false;
    dock.update(kPos, kSize);
    EXPECT_FALSE(dock.splitterRect(root, nullptr));
    EXPECT_FALSE(dock.moveSplitter(root, 500));
    // Too little room for two minimum panes: nothing moves.
    flags.tools = true;
    dock.update(kPos, ImVec2(60, 900));
    const std::string before = dock.serialize();
    EXPECT_FALSE(dock.moveSplitter(root, 30));
    EXPECT_EQ(dock.serialize(), before);
}

TEST_F(DockLayoutTest, TinyOrEmptyAreasGiveNoNegativeSizes) {
    dock.buildDefault(true);
    const ImVec2 sizes[] = {{0, 0}, {1, 1}, {5, 40}, {50, 30}, {-20, -5}};
    for (const ImVec2 size : sizes) {
        dock.update(kPos, size);
        for (const DockNode& n : dock.nodes()) {
            EXPECT_GE(n.rect.size.x, 0.0f) << text(n.rect);
            EXPECT_GE(n.rect.size.y, 0.0f) << text(n.rect);
        }
    }
}

// [SECTION] Persistence

TEST_F(DockLayoutTest, SavedTextRestoresRatiosTabsAndUvLayout) {
    for (const bool uvLayout : {false, true}) {
        dock.buildDefault(uvLayout);
        dock.update(kPos, kSize);
        ASSERT_TRUE(dock.moveSplitter(dock.root(), 400.0f));
        ASSERT_TRUE(dock.moveSplitter(splitAt(ImVec2(500, 720.5f)), 600.0f));
        if (!uvLayout)
            dock.selectTab(kUvEditorWindow);
        const std::string saved = dock.serialize();

        PanelFlags otherFlags;
        DockLayout restored;
        bindPanels(&restored, &otherFlags);
        std::string error;
        ASSERT_TRUE(restored.parse(saved, &error)) << error << "\n" << saved;
        EXPECT_EQ(restored.serialize(), saved);
        EXPECT_EQ(restored.isSeparateUvNode(), uvLayout);
        restored.update(kPos, kSize);
        for (const char* name : kPanels) {
            DockRect a, b;
            EXPECT_EQ(dock.leafRect(name, &a), restored.leafRect(name, &b)) << name;
            EXPECT_EQ(text(a), text(b)) << name << (uvLayout ? " (UV layout)" : "");
        }
        EXPECT_EQ(restored.frontWindow(restored.nodeOf(kUvEditorWindow)), kUvEditorWindow);
    }
}

TEST_F(DockLayoutTest, DamagedSavedLayoutLeavesTheLayoutAlone) {
    const std::string tooMany = [] {
        std::string s;
        for (int i = 0; i < 100; ++i)
            s += "Split=X 0.5\n";
        return s;
    }();
    const std::string withoutExplorer = "Split=X 0.17\nLeaf=0 Tools\nSplit=X 0.74\nLeaf=0 Viewport\n"
                                        "Split=Y 0.38\nLeaf=0 Outliner;UV Editor\nLeaf=0 Properties\n";
    struct Case {
        const char* why;
        std::string text;
    };
    const Case cases[] = {
        {"unknown axis", "Split=Q 0.5\nLeaf=0 Tools\nLeaf=0 Viewport\n"},
        {"ratio not a number", "Split=X abc\nLeaf=0 Tools\nLeaf=0 Viewport\n"},
        {"ratio with trailing text", "Split=X 0.5x\nLeaf=0 Tools\nLeaf=0 Viewport\n"},
        {"ratio above 1", "Split=X 1.5\nLeaf=0 Tools\nLeaf=0 Viewport\n"},
        {"ratio NaN", "Split=X nan\nLeaf=0 Tools\nLeaf=0 Viewport\n"},
        {"selected tab out of range", "Split=X 0.5\nLeaf=3 Tools\nLeaf=0 Viewport\n"},
        {"negative selected tab", "Split=X 0.5\nLeaf=-1 Tools\nLeaf=0 Viewport\n"},
        {"leaf without windows", "Split=X 0.5\nLeaf=0\nLeaf=0 Viewport\n"},
        {"empty window name", "Split=X 0.5\nLeaf=0 Tools;;Explorer\nLeaf=0 Viewport\n"},
        {"split missing a child", "Split=X 0.5\nLeaf=0 Tools\n"},
        {"nodes after the end", "Leaf=0 Tools\nLeaf=0 Viewport\n"},
        {"window listed twice", "Split=X 0.5\nLeaf=0 Tools\nLeaf=0 Tools\n"},
        {"too many nodes", tooMany},
        {"panels that do not match this editor", withoutExplorer},
        {"unknown panel", std::regex_replace(kDefaultText, std::regex("Tools"), "Toolbox")},
    };
    for (const Case& c : cases) {
        dock.buildDefault(false);
        std::string error;
        EXPECT_FALSE(dock.parse(c.text, &error)) << c.why;
        EXPECT_FALSE(error.empty()) << c.why;
        EXPECT_EQ(dock.loadError(), error) << c.why;
        EXPECT_EQ(dock.serialize(), kDefaultText) << c.why;
    }

    // Lines it does not know are skipped; a text with no layout lines changes nothing.
    const std::string withStrangers = std::string("Version=7\n\ngarbage\n  ") + kDefaultText + "Colour=blue\r\n";
    dock.selectTab(kUvEditorWindow);
    std::string error;
    EXPECT_TRUE(dock.parse(withStrangers, &error)) << error;
    EXPECT_EQ(dock.serialize(), kDefaultText);
    EXPECT_TRUE(dock.loadError().empty());
    EXPECT_TRUE(dock.parse("Version=7\n", &error));
    EXPECT_EQ(dock.serialize(), kDefaultText);

    // Without declared panels any whole tree is taken; the editor then sees what it lacks.
    DockLayout unbound;
    EXPECT_TRUE(unbound.parse(withoutExplorer, &error)) << error;
    EXPECT_FALSE(unbound.hasWindow(kExplorerWindow));
    EXPECT_TRUE(unbound.hasWindow(kUvEditorWindow));
}

TEST_F(DockLayoutTest, CorruptedSavedTextNeverBreaksTheLayout) {
    // Every truncation and many one-byte changes of a real saved text: each either yields a whole
    // tree holding every panel once, or is refused with the layout unchanged.
    const std::string saved = kDefaultText;
    std::vector<std::string> texts;
    for (size_t n = 0; n < saved.size(); ++n)
        texts.push_back(saved.substr(0, n));
    for (size_t i = 0; i < saved.size(); ++i)
        for (const char c : {'\n', ';', '=', ' ', 'X', 'Y', '9', '-', '\0'}) {
            std::string t = saved;
            t[i] = c;
            texts.push_back(t);
        }
    int accepted = 0;
    for (const std::string& t : texts) {
        dock.buildDefault(false);
        if (dock.parse(t)) {
            ++accepted;
            for (const char* name : kPanels)
                EXPECT_TRUE(dock.hasWindow(name)) << name << " missing after\n" << t;
            dock.update(kPos, kSize);
            for (const DockNode& n : dock.nodes()) {
                EXPECT_GE(n.rect.size.x, 0.0f);
                EXPECT_GE(n.rect.size.y, 0.0f);
            }
        } else {
            EXPECT_EQ(dock.serialize(), kDefaultText) << t;
        }
    }
    EXPECT_GT(accepted, 0); // e.g. a changed ratio digit still reads
}

// [SECTION] Inside a real ImGui context

class DockFrameTest : public test::TempDirTest {
protected:
    void TearDown() override {
        dock.reset();
        if (context)
            ImGui::DestroyContext(context);
        test::TempDirTest::TearDown();
    }

    // A context with a font and no backend: enough for NewFrame/Render.
    void makeContext(const char* iniFile) {
        context = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = iniFile;
        io.DisplaySize = ImVec2(1600, 900);
        io.DeltaTime = 1.0f / 60.0f;
        io.Fonts->AddFontDefault();
        // As a 1.92 renderer would: the atlas is built by NewFrame and its texture never uploaded.
        io.BackendFlags |= ImGuiBackendFlags_RendererHasTextures;
    }

    void makeDock() {
        dock = std::make_unique<DockLayout>();
        bindPanels(dock.get(), &flags);
    }

    // One editor-like frame: the dock, then every open panel placed before its Begin.
    void frame(const std::function<void()>& beforeFrame = {}) {
        if (beforeFrame)
            beforeFrame();
        ImGui::NewFrame();
        drawn.clear();
        if (dock->empty())
            dock->buildDefault(false);
        dock->beginFrame(kWorkPos, kWorkSize);
        for (const char* name : kPanels) {
            bool* open = flags.flag(name);
            if (open && !*open)
                continue;
            ImGuiWindowFlags windowFlags = 0;
            if (!dock->placeWindow(name, &windowFlags))
                continue;
            ImGui::Begin(name, open, windowFlags);
            drawn[name] = DockRect{ImGui::GetWindowPos(), ImGui::GetWindowSize()};
            titleBar[name] = !(windowFlags & ImGuiWindowFlags_NoTitleBar);
            ImGui::Text("%s", name);
            ImGui::End();
        }
        dock->endFrame();
        ImGui::Render();
    }

    DockRect leaf(const char* name) const {
        DockRect r;
        dock->leafRect(name, &r);
        return r;
    }

    void mouseTo(ImVec2 p) {
        frame([&] { ImGui::GetIO().AddMousePosEvent(p.x, p.y); });
    }
    void mouseButton(bool down) {
        frame([&] { ImGui::GetIO().AddMouseButtonEvent(ImGuiMouseButton_Left, down); });
    }

    static constexpr ImVec2 kWorkPos{0.0f, 20.0f};
    static constexpr ImVec2 kWorkSize{1600.0f, 855.0f};

    std::string iniPath; // ImGui keeps a pointer to these characters until the context is destroyed
    ImGuiContext* context = nullptr;
    PanelFlags flags;
    std::unique_ptr<DockLayout> dock;
    std::map<std::string, DockRect> drawn;
    std::map<std::string, bool> titleBar;
};

TEST_F(DockFrameTest, PanelsSitInTheirLeavesAfterOneFrame) {
    makeContext(nullptr);
    makeDock();
    frame();

    // The UV Editor is the hidden tab; the Outliner sits under the tab strip without a title bar.
    EXPECT_EQ(drawn.count(kUvEditorWindow), 0u);
    const float strip = ImGui::GetFrameHeight();
    for (const char* name : kPanels) {
        if (name == std::string(kUvEditorWindow))
            continue;
        ASSERT_EQ(drawn.count(name), 1u) << name;
        DockRect expected = leaf(name);
        if (name == std::string(kOutlinerWindow)) {
            expected.pos.y += strip;
            expected.size.y -= strip;
        }
        EXPECT_EQ(text(drawn[name]), text(expected)) << name;
        EXPECT_EQ(titleBar[name], name != std::string(kOutlinerWindow)) << name;
    }
    EXPECT_EQ(text(leaf(kToolsWindow)), "(0, 20) 272 x 855");

    // The dock space stays behind the panels, which get the mouse (a panel first shown now too).
    for (const char* name : {kViewportWindow, kUvEditorWindow}) {
        if (name == std::string(kUvEditorWindow))
            dock->selectTab(kUvEditorWindow);
        const DockRect r = leaf(name);
        mouseTo(ImVec2(r.pos.x + r.size.x * 0.5f, r.pos.y + r.size.y * 0.5f));
        frame();
        ASSERT_NE(ImGui::GetCurrentContext()->HoveredWindow, nullptr);
        EXPECT_STREQ(ImGui::GetCurrentContext()->HoveredWindow->Name, name);
    }
    dock->selectTab(kOutlinerWindow);

    // Closing the Outliner through its flag: the UV Editor takes the leaf, with its own title bar.
    flags.outliner = false;
    frame();
    ASSERT_EQ(drawn.count(kUvEditorWindow), 1u);
    EXPECT_EQ(text(drawn[kUvEditorWindow]), text(leaf(kOutlinerWindow)));
    EXPECT_TRUE(titleBar[kUvEditorWindow]);
}

TEST_F(DockFrameTest, ClickingATabBringsItsPanelForward) {
    makeContext(nullptr);
    makeDock();
    frame();
    frame();

    // Where ImGui laid the "UV Editor" tab out in the strip over the shared leaf.
    const int shared = dock->nodeOf(kUvEditorWindow);
    char stripName[48];
    std::snprintf(stripName, sizeof(stripName), "##OrvaDockTabs%d", shared);
    ImGuiWindow* strip = ImGui::FindWindowByName(stripName);
    ASSERT_NE(strip, nullptr);
    ImGuiTabBar* bar = ImGui::GetCurrentContext()->TabBars.GetByKey(strip->GetID("##Tabs"));
    ASSERT_NE(bar, nullptr);
    const ImGuiTabItem* uvTab = nullptr;
    for (const ImGuiTabItem& tab : bar->Tabs)
        if (std::string(ImGui::TabBarGetTabName(bar, const_cast<ImGuiTabItem*>(&tab))) == kUvEditorWindow)
            uvTab = &tab;
    ASSERT_NE(uvTab, nullptr);
    const ImVec2 click(bar->BarRect.Min.x + uvTab->Offset + uvTab->Width * 0.3f,
                       (bar->BarRect.Min.y + bar->BarRect.Max.y) * 0.5f);

    mouseTo(click);
    mouseButton(true);

    mouseButton(false);
    frame();
    EXPECT_EQ(dock->frontWindow(shared), kUvEditorWindow);
    EXPECT_EQ(drawn.count(kUvEditorWindow), 1u);
    EXPECT_EQ(drawn.count(kOutlinerWindow), 0u);
    EXPECT_NE(dock->serialize().find("Leaf=1 Outliner;UV Editor"), std::string::npos);
}

TEST_F(DockFrameTest, SplitterDragsFromTheGapAndFromInsideAPanelEdge) {
    makeContext(nullptr);
    makeDock();
    frame();
    frame();

    struct Case {
        float grabOffset; // from the gap's first pixel: 1 is in the gap, 4 is inside the Viewport
        float dx;
    };
    for (const Case c : {Case{1.0f, 120.0f}, Case{4.0f, -60.0f}}) {
        const DockRect tools = leaf(kToolsWindow);
        const float gapX = tools.pos.x + tools.size.x;
        mouseTo(ImVec2(gapX + c.grabOffset, 400));
        mouseButton(true);
        mouseTo(ImVec2(gapX + c.grabOffset + c.dx, 400));
        mouseButton(false);
        frame();
        EXPECT_EQ(leaf(kToolsWindow).size.x, tools.size.x + c.dx) << "grab at +" << c.grabOffset;
        EXPECT_EQ(drawn[kViewportWindow].pos.x, gapX + c.dx + 2) << "grab at +" << c.grabOffset;
        // The right column did not move.
        EXPECT_EQ(text(drawn[kPropertiesWindow]), text(leaf(kPropertiesWindow)));
        EXPECT_EQ(leaf(kPropertiesWindow).pos.x, 1266 - 10);
    }
}

TEST_F(DockFrameTest, SettingsHandlerRoundTripsThroughImGui) {
    makeContext(nullptr);
    makeDock();
    ASSERT_TRUE(dock->registerSettingsHandler(context));
    frame();
    dock->buildDefault(true);
    dock->update(kWorkPos, kWorkSize);
    ASSERT_TRUE(dock->moveSplitter(dock->root(), 300));
    const std::string saved = dock->serialize();
    const std::string ini = ImGui::SaveIniSettingsToMemory();
    EXPECT_NE(ini.find("[OrvaDock][Layout]\n" + saved), std::string::npos) << ini;

    // A second layout takes the section over and reads it back.
    PanelFlags otherFlags;
    DockLayout other;
    bindPanels(&other, &otherFlags);
    ASSERT_TRUE(other.registerSettingsHandler(context));
    ImGui::LoadIniSettingsFromMemory(ini.c_str(), ini.size());
    EXPECT_EQ(other.serialize(), saved);
    EXPECT_TRUE(other.isSeparateUvNode());

    // A damaged section is refused: the layout stays, the reason is kept for the editor to show.
    const std::string damaged = "[OrvaDock][Layout]\nSplit=X 0.5\nLeaf=0 Tools\n[Window][Debug##Default]\nPos=60,60\n";
    ImGui::LoadIniSettingsFromMemory(damaged.c_str(), damaged.size());
    EXPECT_EQ(other.serialize(), saved);
    EXPECT_FALSE(other.loadError().empty());
    // An ini without the section changes nothing either.
    ImGui::LoadIniSettingsFromMemory("[Window][Debug##Default]\nPos=60,60\n");
    EXPECT_EQ(other.serialize(), saved);
}

TEST_F(DockFrameTest, LayoutSurvivesARestartEvenWhenTheEditorGoesFirst) {
    // The application destroys the editor (and its layout) before the ImGui context, which writes
    // layout.ini last: the section must still be in that final write.
    iniPath = path("layout.ini");
    makeContext(iniPath.c_str());
    makeDock();
    dock->registerSettingsHandler(context);
    frame(); // the first frame reads the (missing) file and builds the default layout
    dock->buildDefault(true);
    frame();
    ASSERT_TRUE(dock->moveSplitter(dock->root(), 333));
    frame();
    const std::string saved = dock->serialize();
    std::map<std::string, DockRect> before;
    for (const char* name : kPanels)
        before[name] = leaf(name);
    dock.reset();
    ImGui::DestroyContext(context);
    context = nullptr;

    std::ifstream file(iniPath);
    std::stringstream contents;
    contents << file.rdbuf();
    ASSERT_NE(contents.str().find("[OrvaDock][Layout]\n" + saved), std::string::npos) << contents.str();

    makeContext(iniPath.c_str());
    flags = PanelFlags{};
    makeDock();
    dock->registerSettingsHandler(context);
    ImGui::NewFrame(); // reads layout.ini
    EXPECT_FALSE(dock->empty());
    EXPECT_TRUE(dock->isSeparateUvNode());
    ImGui::EndFrame();
    frame();
    for (const char* name : kPanels)
        EXPECT_EQ(text(leaf(name)), text(before[name])) << name;
}

} // namespace
} // namespace orva::ui
