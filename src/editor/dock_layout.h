#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <imgui.h>

struct ImGuiContextHook;
struct ImGuiSettingsHandler;

namespace orva::ui {

// The editor's panel windows, by title. The default layout places exactly these.
inline constexpr const char* kViewportWindow = "Viewport";
inline constexpr const char* kOutlinerWindow = "Outliner";
inline constexpr const char* kPropertiesWindow = "Properties";
inline constexpr const char* kToolsWindow = "Tools";
inline constexpr const char* kUvEditorWindow = "UV Editor";
inline constexpr const char* kExplorerWindow = "Explorer";

// The theme's docking values. ImGui's master branch has no docking style fields, so they live here:
// the splitter thickness in unscaled pixels (scaled like every other size by the display scale),
// the colour of dock space that no panel covers, and the colour of a splitter being dragged.
inline constexpr float kDockSeparatorSize = 2.0f;
inline constexpr ImVec4 kDockEmptyBgColor{0.11f, 0.11f, 0.118f, 1.0f};
inline constexpr ImVec4 kDockPreviewColor{0.259f, 0.522f, 0.957f, 0.5f};

// The section of "layout.ini" that keeps the layout: "[OrvaDock][Layout]".
inline constexpr const char* kDockSettingsType = "OrvaDock";

struct DockSettingsLink;

enum class DockAxis : unsigned char {
    X, // children side by side: [0] left, [1] right
    Y, // children stacked: [0] top, [1] bottom
};

// Screen-space rectangle in pixels.
struct DockRect {
    ImVec2 pos;
    ImVec2 size;
};

// One node of the layout tree: a split with two children, or a leaf holding panel windows as tabs.
struct DockNode {
    int children[2] = {-1, -1}; // node indices; both -1 for a leaf
    DockAxis axis = DockAxis::X;
    float ratio = 0.5f; // share of the first child in the extent left after the separator, in [0, 1]

    std::vector<std::string> windows; // leaf: window titles in tab order
    int selected = 0;                 // leaf: index of the tab the user put in front

    // Computed by DockLayout::update.
    bool visible = false; // a leaf with at least one open window, or a split with a visible child
    bool tabs = false;    // a leaf with two or more open windows: a tab strip runs along its top
    DockRect rect;        // zero-sized while hidden; a leaf's rectangle includes its tab strip

    bool isLeaf() const { return children[0] < 0; }
};

// Sizes in pixels; beginFrame takes them from the ImGui style every frame.
struct DockMetrics {
    float separatorSize = kDockSeparatorSize; // gap between two panes, also the splitter's drawn width
    float hoverPadding = 4.0f;                // the splitter reacts this far into each pane
    float minPaneSize = 32.0f;                // a splitter drag never makes a touching pane smaller
    float tabBarHeight = 0.0f;                // height of the tab strip over a leaf with several open windows
};

// The editor's dock layout: a binary tree of splits whose leaves hold the panel windows. Each frame
// the editor calls beginFrame with the area the panels share, placeWindow before each panel's
// ImGui::Begin, and endFrame after the last panel. Splits keep their ratios when the window
// resizes; dragging a splitter moves only that boundary.
//
// Closing a panel keeps its place: the window stays in its leaf and comes back there when it is
// opened again (in front of its tab group). A leaf that still shows another open window keeps its
// space; a leaf whose windows are all closed gives its space to its sibling until one reopens.
//
// The tree, its ratios and the tab order and selection persist in "layout.ini" through an ImGui
// settings handler. Whether the UV Editing layout is in use is part of the tree: the UV Editor has
// a leaf of its own (isSeparateUvNode).
class DockLayout {
public:
    DockLayout() = default;
    ~DockLayout();
    DockLayout(const DockLayout&) = delete;
    DockLayout& operator=(const DockLayout&) = delete;

    // [SECTION] Tree
    // Replaces the tree with the default layout: Tools left (0.17 of the width), a right column
    // (0.26 of the rest), Explorer below the centre (0.22 of its height), Outliner above Properties
    // in the right column (0.38 of its height) and the Viewport in the centre. The UV Editor is a
    // tab behind the Outliner, or with `uvLayout` the right half of the centre. Every bound window is
    // opened and the Outliner tab is in front.
    void buildDefault(bool uvLayout);
    void clear();
    bool empty() const { return nodes_.empty(); }
    const std::vector<DockNode>& nodes() const { return nodes_; }
    int root() const { return nodes_.empty() ? -1 : 0; }

    // Declares a window the editor draws. `open` is its panel flag (the tab's close button clears
    // it; must outlive this layout), or null for a window that cannot be closed. Windows never bound
    // count as open. Bind every window before the saved layout is read (the first ImGui frame): a
    // saved tree is only accepted when it holds exactly the bound windows.
    void bindWindow(std::string_view name, bool* open);

    bool hasWindow(std::string_view name) const { return nodeOf(name) >= 0; }
    // Index of the leaf holding `name`, -1 when it is not in the tree.
    int nodeOf(std::string_view name) const;
    // True when the UV Editor and the Outliner are both in the tree, in different leaves.
    bool isSeparateUvNode() const;
    bool isWindowOpen(std::string_view name) const;
    // The window shown in a leaf: its selected tab when open, else its first open window; empty
    // when the leaf shows nothing.
    std::string_view frontWindow(int leaf) const;
    // Puts `name` in front of its tab group. False when it is not in the tree.
    bool selectTab(std::string_view name);

    // [SECTION] Geometry (no ImGui frame needed)
    DockMetrics metrics;
    // Reads the open flags (a window opened since the last update comes to the front of its tabs),
    // then computes which nodes are visible and every node's rectangle inside pos/size.
    void update(ImVec2 pos, ImVec2 size);
    // The rectangle of the leaf holding `name` (tab strip included), as of the last update.
    bool leafRect(std::string_view name, DockRect* rect) const;
    // The gap between the two children of a split; false when the node is a leaf or does not
    // show both children.
    bool splitterRect(int node, DockRect* rect) const;
    // Moves the gap of split `node` so that it starts at `gapStart` (pixels along the split axis),
    // clamped so that every pane touching the splitter keeps metrics.minPaneSize. Boundaries inside
    // the two children stay where they are. False when nothing can move.
    bool moveSplitter(int node, float gapStart);

    // [SECTION] Frame (inside an ImGui frame)
    // Lays the tree out over pos/size (the main viewport's work area minus the status bar), draws
    // the dock background, handles the splitters and draws the tab strips. Call once per frame
    // before the panels.
    void beginFrame(ImVec2 pos, ImVec2 size);
    // Call before ImGui::Begin(name, open, flags). Returns false when the window must not be drawn
    // this frame (closed, or another tab is in front); then it sets nothing. Otherwise it sets the
    // next window's position and size and ORs into *flags what a docked window needs (no move,
    // resize or collapse; no title bar under a tab strip). A window that is not in the tree is left
    // alone and returns true.
    bool placeWindow(std::string_view name, ImGuiWindowFlags* flags);
    // Call after the last panel: keeps the dock space behind panels created this frame.
    void endFrame();

    // [SECTION] Persistence
    // The tree as ini lines, one node per line in pre-order, e.g. "Split=X 0.17",
    // "Leaf=0 Outliner;UV Editor" (selected tab index, then the windows in tab order).
    std::string serialize() const;
    // Reads a saved tree line by line; unknown lines are ignored. endParse adopts the tree when it
    // is whole, else keeps the current one and fills `error` (also kept in loadError). A text with
    // no node lines changes nothing.
    void beginParse();
    void parseLine(std::string_view line);
    bool endParse(std::string* error = nullptr);
    bool parse(std::string_view text, std::string* error = nullptr);
    // Why the last saved layout was rejected; empty when it was accepted or there was none.
    const std::string& loadError() const { return loadError_; }

    // Keeps this layout in the context's ini file as "[OrvaDock][Layout]". Call after
    // ImGui::CreateContext and before the first NewFrame, which reads the file. The section survives
    // this layout: the context writes the last state of the tree when it shuts down, even after the
    // layout was destroyed. A second layout registering in the same context takes the section over.
    bool registerSettingsHandler(ImGuiContext* context);

private:
    friend struct DockSettingsLink;

    struct Binding {
        std::string name;
        bool* open = nullptr;
        bool lastOpen = true;
    };
    struct ParsedNode {
        bool leaf = false;
        DockAxis axis = DockAxis::X;
        float ratio = 0.5f;
        int selected = 0;
        std::vector<std::string> windows;
    };

    int addLeaf();
    void relayout();
    int splitLeaf(int node, ImGuiDir dir, double ratio, int* opposite);
    bool computeVisible(int node);
    void layoutNode(int node, DockRect rect);
    void hideNode(int node);
    void collectTouching(int node, int axis, int side, std::vector<int>* leaves) const;
    void collectGaps(int node, int axis, std::vector<float>* gaps) const;
    void keepGaps(int node, int axis, const std::vector<float>& gaps);
    int openCount(int leaf) const;
    const Binding* binding(std::string_view name) const;
    void serializeNode(int node, std::string* out) const;
    int buildParsed(int depth, size_t* next, std::vector<DockNode>* out, std::string* error) const;
    bool isDockWindow(const char* name) const;
    void keepHostAtBack();
    void drawSplitters();
    void drawTabStrip(int leaf);

    std::vector<DockNode> nodes_;
    std::vector<Binding> bindings_;
    std::vector<ParsedNode> parsed_;
    int parseDamagedLine_ = 0; // 1-based line of the first damaged node line; 0 when none
    int parseLineCount_ = 0;
    std::string loadError_;

    ImVec2 lastPos_; // the area of the last update
    ImVec2 lastSize_;
    bool hasArea_ = false;
    bool changed_ = false;    // the tree or a ratio changed since the ini was last marked dirty
    bool frameReady_ = false; // beginFrame ran at least once
    float dragOffset_ = 0.0f; // mouse position minus gap start when a splitter drag began
    DockSettingsLink* link_ = nullptr;
};

} // namespace orva::ui
