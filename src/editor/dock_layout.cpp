// The editor's dock layout: a split tree laid out over the work area, splitters, tab strips and the
// "layout.ini" section that keeps it.
//
// Index of this file:
// [SECTION] Helpers
// [SECTION] Tree
// [SECTION] Queries
// [SECTION] Geometry
// [SECTION] Frame
// [SECTION] Persistence
// [SECTION] Settings handler

#include "editor/dock_layout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include <imgui_internal.h>

namespace orva::ui {

//-----------------------------------------------------------------------------
// [SECTION] Helpers
//-----------------------------------------------------------------------------

namespace {

constexpr const char* kHostWindowName = "##OrvaDockSpace";
constexpr const char* kTabStripPrefix = "##OrvaDockTabs";
constexpr const char* kSettingsEntryName = "Layout";
// A saved tree larger than this is not one this editor wrote.
constexpr size_t kMaxSavedNodes = 64;

int axisIndex(DockAxis axis) { return axis == DockAxis::X ? 0 : 1; }
float& along(ImVec2& v, int axis) { return axis == 0 ? v.x : v.y; }
float along(const ImVec2& v, int axis) { return axis == 0 ? v.x : v.y; }

ImVec2 farCorner(const DockRect& r) { return ImVec2(r.pos.x + r.size.x, r.pos.y + r.size.y); }

bool contains(const DockRect& r, ImVec2 p) {
    return p.x >= r.pos.x && p.y >= r.pos.y && p.x < r.pos.x + r.size.x && p.y < r.pos.y + r.size.y;
}

// The splitter's interaction band: the gap widened into both panes.
DockRect widened(DockRect gap, int axis, float padding) {
    along(gap.pos, axis) -= padding;
    along(gap.size, axis) += 2.0f * padding;
    return gap;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

} // namespace

//-----------------------------------------------------------------------------
// [SECTION] Tree
//-----------------------------------------------------------------------------

void DockLayout::clear() {
    nodes_.clear();
    changed_ = true;
}

int DockLayout::addLeaf() {
    nodes_.emplace_back();
    return int(nodes_.size()) - 1;
}

// Turns leaf `node` into a split along `dir`, like a docking builder: the new child on the `dir`
// side gets `ratio` of the space; the node's windows move to the other child (*opposite).
int DockLayout::splitLeaf(int node, ImGuiDir dir, double ratio, int* opposite) {
    const int first = addLeaf();
    const int second = addLeaf();
    DockNode& n = nodes_[node];
    const bool dirIsFirst = dir == ImGuiDir_Left || dir == ImGuiDir_Up;
    n.axis = (dir == ImGuiDir_Left || dir == ImGuiDir_Right) ? DockAxis::X : DockAxis::Y;
    // In double: the share kept is the float nearest 1 - 0.26, which the ini shows as "0.74".
    n.ratio = float(dirIsFirst ? ratio : 1.0 - ratio);
    n.children[0] = first;
    n.children[1] = second;
    const int atDir = dirIsFirst ? first : second;
    *opposite = dirIsFirst ? second : first;
    nodes_[*opposite].windows = std::move(n.windows);
    nodes_[*opposite].selected = n.selected;
    n.windows.clear();
    n.selected = 0;
    return atDir;
}

void DockLayout::buildDefault(bool uvLayout) {
    nodes_.clear();
    int centre = addLeaf();
    const int left = splitLeaf(centre, ImGuiDir_Left, 0.17, &centre);
    const int right = splitLeaf(centre, ImGuiDir_Right, 0.26, &centre);
    const int bottom = splitLeaf(centre, ImGuiDir_Down, 0.22, &centre);
    int bottomRight = -1;
    const int topRight = splitLeaf(right, ImGuiDir_Up, 0.38, &bottomRight);
    int uvNode = topRight;
    if (uvLayout)
        uvNode = splitLeaf(centre, ImGuiDir_Right, 0.5, &centre);

    // Docking order is tab order: the Outliner comes first in the shared leaf and is in front.
    nodes_[left].windows.emplace_back(kToolsWindow);
    nodes_[centre].windows.emplace_back(kViewportWindow);
    nodes_[topRight].windows.emplace_back(kOutlinerWindow);
    nodes_[uvNode].windows.emplace_back(kUvEditorWindow);
    nodes_[bottomRight].windows.emplace_back(kPropertiesWindow);
    nodes_[bottom].windows.emplace_back(kExplorerWindow);

    // A freshly built layout shows every panel.
    for (Binding& b : bindings_) {
        if (b.open)
            *b.open = true;
        b.lastOpen = true;
    }
    changed_ = true;
    relayout();
}

// Lays a new tree out over the last area at once, so panels placed later in the same frame land
// in it rather than in the old tree's rectangles.
void DockLayout::relayout() {
    if (hasArea_)
        update(lastPos_, lastSize_);
}

void DockLayout::bindWindow(std::string_view name, bool* open) {
    for (Binding& b : bindings_) {
        if (b.name == name) {
            b.open = open;
            b.lastOpen = !open || *open;
            return;
        }
    }
    bindings_.push_back(Binding{std::string(name), open, !open || *open});
}

//-----------------------------------------------------------------------------
// [SECTION] Queries
//-----------------------------------------------------------------------------

int DockLayout::nodeOf(std::string_view name) const {
    for (size_t i = 0; i < nodes_.size(); ++i)
        for (const std::string& w : nodes_[i].windows)
            if (w == name)
                return int(i);
    return -1;
}

bool DockLayout::isSeparateUvNode() const {
    const int uv = nodeOf(kUvEditorWindow);
    const int outliner = nodeOf(kOutlinerWindow);
    return uv >= 0 && outliner >= 0 && uv != outliner;
}

const DockLayout::Binding* DockLayout::binding(std::string_view name) const {
    for (const Binding& b : bindings_)
        if (b.name == name)
            return &b;
    return nullptr;
}

bool DockLayout::isWindowOpen(std::string_view name) const {
    const Binding* b = binding(name);
    return !b || !b->open || *b->open;
}

int DockLayout::openCount(int leaf) const {
    int count = 0;
    for (const std::string& w : nodes_[leaf].windows)
        count += isWindowOpen(w) ? 1 : 0;
    return count;
}

std::string_view DockLayout::frontWindow(int leaf) const {
    if (leaf < 0 || leaf >= int(nodes_.size()) || !nodes_[leaf].isLeaf())
        return {};
    const DockNode& node = nodes_[leaf];
    if (node.selected >= 0 && node.selected < int(node.windows.size()) && isWindowOpen(node.windows[node.selected]))
        return node.windows[node.selected];
    for (const std::string& w : node.windows)
        if (isWindowOpen(w))
            return w;
    return {};
}

bool DockLayout::selectTab(std::string_view name) {
    const int leaf = nodeOf(name);
    if (leaf < 0)
        return false;
    DockNode& node = nodes_[leaf];
    const int index = int(std::find(node.windows.begin(), node.windows.end(), name) - node.windows.begin());
    if (node.selected != index) {
        node.selected = index;
        changed_ = true;
    }
    return true;
}

//-----------------------------------------------------------------------------
// [SECTION] Geometry
//-----------------------------------------------------------------------------

void DockLayout::update(ImVec2 pos, ImVec2 size) {
    // A panel the user opens again should be seen, not stay hidden behind another tab.
    for (Binding& b : bindings_) {
        const bool open = !b.open || *b.open;
        if (open && !b.lastOpen)
            selectTab(b.name);
        b.lastOpen = open;
    }
    size.x = std::max(size.x, 0.0f);
    size.y = std::max(size.y, 0.0f);
    lastPos_ = pos;
    lastSize_ = size;
    hasArea_ = true;
    if (nodes_.empty())
        return;
    if (computeVisible(0))
        layoutNode(0, DockRect{pos, size});
    else
        hideNode(0);
}

bool DockLayout::computeVisible(int node) {
    DockNode& n = nodes_[node];
    if (n.isLeaf()) {
        const int open = openCount(node);
        n.visible = open > 0;
        n.tabs = open > 1;
        return n.visible;
    }
    const bool first = computeVisible(n.children[0]);
    const bool second = computeVisible(n.children[1]);
    n.visible = first || second;
    return n.visible;
}

void DockLayout::layoutNode(int node, DockRect rect) {
    DockNode& n = nodes_[node];
    n.rect = rect;
    if (n.isLeaf())
        return;
    const int c0 = n.children[0];
    const int c1 = n.children[1];
    const bool v0 = nodes_[c0].visible;
    const bool v1 = nodes_[c1].visible;
    if (v0 && v1) {
        // Whole pixels: the first child gets its share of what the separator leaves, rounded.
        const int a = axisIndex(n.axis);
        const float avail = std::max(along(rect.size, a) - metrics.separatorSize, 0.0f);
        const float first = std::clamp(std::floor(avail * n.ratio + 0.5f), 0.0f, avail);
        DockRect r0 = rect;
        DockRect r1 = rect;
        along(r0.size, a) = first;
        along(r1.pos, a) += first + metrics.separatorSize;
        along(r1.size, a) = avail - first;
        layoutNode(c0, r0);
        layoutNode(c1, r1);
        return;
    }
    // One side is hidden: the other takes the whole rectangle.
    if (v0)
        layoutNode(c0, rect);
    else
        hideNode(c0);
    if (v1)
        layoutNode(c1, rect);
    else
        hideNode(c1);
}

void DockLayout::hideNode(int node) {
    DockNode& n = nodes_[node];
    n.rect = DockRect{};
    if (!n.isLeaf()) {
        hideNode(n.children[0]);
        hideNode(n.children[1]);
    }
}

bool DockLayout::leafRect(std::string_view name, DockRect* rect) const {
    const int leaf = nodeOf(name);
    if (leaf < 0)
        return false;
    if (rect)
        *rect = nodes_[leaf].rect;
    return nodes_[leaf].visible;
}

bool DockLayout::splitterRect(int node, DockRect* rect) const {
    if (node < 0 || node >= int(nodes_.size()) || nodes_[node].isLeaf())
        return false;
    const DockNode& n = nodes_[node];
    const DockNode& first = nodes_[n.children[0]];
    if (!n.visible || !first.visible || !nodes_[n.children[1]].visible)
        return false;
    const int a = axisIndex(n.axis);
    DockRect gap = n.rect;
    along(gap.pos, a) = along(first.rect.pos, a) + along(first.rect.size, a);
    along(gap.size, a) = metrics.separatorSize;
    if (rect)
        *rect = gap;
    return true;
}

// The visible leaves of subtree `node` whose edge lies on a splitter of `axis`: for side 0 the
// subtree is before the splitter and its far edge touches it, for side 1 its near edge does.
void DockLayout::collectTouching(int node, int axis, int side, std::vector<int>* leaves) const {
    const DockNode& n = nodes_[node];
    if (!n.visible)
        return;
    if (n.isLeaf()) {
        leaves->push_back(node);
        return;
    }
    const bool both = nodes_[n.children[0]].visible && nodes_[n.children[1]].visible;
    if (axisIndex(n.axis) == axis && both) {
        collectTouching(n.children[side == 0 ? 1 : 0], axis, side, leaves);
        return;
    }
    collectTouching(n.children[0], axis, side, leaves);
    collectTouching(n.children[1], axis, side, leaves);
}

// Records where the gap of every showing split along `axis` inside `node` starts.
void DockLayout::collectGaps(int node, int axis, std::vector<float>* gaps) const {
    const DockNode& n = nodes_[node];
    if (n.isLeaf() || !n.visible)
        return;
    DockRect gap;
    if (axisIndex(n.axis) == axis && splitterRect(node, &gap))
        (*gaps)[node] = along(gap.pos, axis);
    collectGaps(n.children[0], axis, gaps);
    collectGaps(n.children[1], axis, gaps);
}

// Re-derives the ratios of the splits recorded by collectGaps so that their gaps stay put after
// their parent moved, then lays their children out again.
void DockLayout::keepGaps(int node, int axis, const std::vector<float>& gaps) {
    DockNode& n = nodes_[node];
    if (n.isLeaf() || !n.visible)
        return;
    if (axisIndex(n.axis) == axis && !std::isnan(gaps[node]) && splitterRect(node, nullptr)) {
        const float avail = along(n.rect.size, axis) - metrics.separatorSize;
        if (avail > 0.0f) {
            n.ratio = std::clamp((gaps[node] - along(n.rect.pos, axis)) / avail, 0.0f, 1.0f);
            layoutNode(node, n.rect);
        }
    }
    keepGaps(n.children[0], axis, gaps);
    keepGaps(n.children[1], axis, gaps);
}

bool DockLayout::moveSplitter(int node, float gapStart) {
    DockRect gap;
    if (!splitterRect(node, &gap) || !std::isfinite(gapStart))
        return false;
    DockNode& n = nodes_[node];
    const int a = axisIndex(n.axis);
    const float start = along(n.rect.pos, a);
    const float avail = along(n.rect.size, a) - metrics.separatorSize;
    if (avail <= 0.0f)
        return false;

    // Every pane touching the splitter keeps the minimum size; the node's own edges bound it too.
    std::vector<int> touching[2];
    collectTouching(n.children[0], a, 0, &touching[0]);
    collectTouching(n.children[1], a, 1, &touching[1]);
    float lo = start;
    float hi = start + avail;
    for (int leaf : touching[0])
        lo = std::max(lo, along(nodes_[leaf].rect.pos, a) + metrics.minPaneSize);
    for (int leaf : touching[1])
        hi = std::min(hi, along(nodes_[leaf].rect.pos, a) + along(nodes_[leaf].rect.size, a) - metrics.minPaneSize -
                              metrics.separatorSize);
    if (lo > hi)
        return false;
    gapStart = std::clamp(std::floor(gapStart + 0.5f), lo, hi);
    if (gapStart == along(gap.pos, a))
        return false;

    std::vector<float> gaps(nodes_.size(), std::numeric_limits<float>::quiet_NaN());
    collectGaps(n.children[0], a, &gaps);
    collectGaps(n.children[1], a, &gaps);
    n.ratio = (gapStart - start) / avail;
    layoutNode(node, n.rect);
    keepGaps(n.children[0], a, gaps);
    keepGaps(n.children[1], a, gaps);
    changed_ = true;
    return true;
}

//-----------------------------------------------------------------------------
// [SECTION] Frame
//-----------------------------------------------------------------------------

void DockLayout::beginFrame(ImVec2 pos, ImVec2 size) {
    const ImGuiStyle& style = ImGui::GetStyle();
    const float scale = style.FontScaleDpi > 0.0f ? style.FontScaleDpi : 1.0f;
    metrics.separatorSize = std::max(1.0f, std::floor(kDockSeparatorSize * scale + 0.5f));
    metrics.hoverPadding = 4.0f * scale;
    metrics.minPaneSize = std::max(style.WindowMinSize.x, style.WindowMinSize.y);
    metrics.tabBarHeight = ImGui::GetFrameHeight();
    update(pos, size);
    frameReady_ = true;

    // The dock space: behind every panel, it shows through the gaps and owns the splitters.
    ImGui::SetNextWindowPos(pos);
    ImGui::SetNextWindowSize(ImVec2(std::max(size.x, 1.0f), std::max(size.y, 1.0f)));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0.0f, 0.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0.0f);
    ImGui::PushStyleColor(ImGuiCol_WindowBg, kDockEmptyBgColor);
    const ImGuiWindowFlags hostFlags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                       ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus |
                                       ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoNav |
                                       ImGuiWindowFlags_NoScrollWithMouse;
    ImGui::Begin(kHostWindowName, nullptr, hostFlags);
    ImGui::PopStyleColor();
    ImGui::PopStyleVar(3);
    keepHostAtBack();
    drawSplitters();
    ImGui::End();

    for (size_t i = 0; i < nodes_.size(); ++i)
        if (nodes_[i].isLeaf() && nodes_[i].visible && nodes_[i].tabs)
            drawTabStrip(int(i));

    if (changed_) {
        ImGui::MarkIniSettingsDirty();
        changed_ = false;
    }
}

void DockLayout::endFrame() { keepHostAtBack(); }

// ImGui puts a new window that never comes to the front on focus behind all others, so a panel
// or tab strip created after the dock space would sit (and be drawn) behind it.
void DockLayout::keepHostAtBack() {
    ImGuiContext& g = *ImGui::GetCurrentContext();
    ImGuiWindow* host = ImGui::FindWindowByName(kHostWindowName);
    if (host && !g.Windows.empty() && g.Windows[0] != host)
        ImGui::BringWindowToDisplayBack(host);
}

bool DockLayout::isDockWindow(const char* name) const {
    if (!name)
        return false;
    if (std::strcmp(name, kHostWindowName) == 0 ||
        std::strncmp(name, kTabStripPrefix, std::strlen(kTabStripPrefix)) == 0)
        return true;
    return nodeOf(name) >= 0;
}

void DockLayout::drawSplitters() {
    ImGuiContext& g = *ImGui::GetCurrentContext();
    ImGuiWindow* host = g.CurrentWindow;
    const ImVec2 mouse = g.IO.MousePos;

    // Inside a splitter's band the splitter has the mouse, not the pane it overlaps, so a drag
    // that starts a few pixels into a panel (over its scroll bar, say) moves the splitter. Panels
    // are drawn after this, so they see the dock space as hovered there. A drag already held by a
    // widget, a popup or a floating window keeps the mouse.
    if (g.HoveredWindow && g.HoveredWindow != host && (g.ActiveId == 0 || g.ActiveIdWindow == host) &&
        isDockWindow(g.HoveredWindow->RootWindow->Name)) {
        for (size_t i = 0; i < nodes_.size(); ++i) {
            DockRect gap;
            if (splitterRect(int(i), &gap) &&
                contains(widened(gap, axisIndex(nodes_[i].axis), metrics.hoverPadding), mouse)) {
                g.HoveredWindow = host;
                break;
            }
        }
    }

    for (size_t i = 0; i < nodes_.size(); ++i) {
        DockRect gap;
        if (!splitterRect(int(i), &gap))
            continue;
        const int a = axisIndex(nodes_[i].axis);
        const DockRect band = widened(gap, a, metrics.hoverPadding);
        const ImRect bb(band.pos, farCorner(band));
        const ImGuiID id = ImGui::GetID(int(i));
        if (!ImGui::ItemAdd(bb, id, nullptr, ImGuiItemFlags_NoNav))
            continue;
        bool hovered = false;
        bool held = false;
        ImGui::ButtonBehavior(bb, id, &hovered, &held);
        if (ImGui::IsItemActivated())
            dragOffset_ = along(mouse, a) - along(gap.pos, a);
        if (held && moveSplitter(int(i), along(mouse, a) - dragOffset_))
            splitterRect(int(i), &gap);
        if (hovered || held)
            ImGui::SetMouseCursor(a == 0 ? ImGuiMouseCursor_ResizeEW : ImGuiMouseCursor_ResizeNS);

        // While dragging, the band shows over the panes' edges in the theme's docking preview colour.
        if (held) {
            const DockRect shown = widened(gap, a, metrics.hoverPadding);
            ImGui::GetForegroundDrawList()->AddRectFilled(shown.pos, farCorner(shown),
                                                          ImGui::GetColorU32(kDockPreviewColor));
            host->DrawList->AddRectFilled(gap.pos, farCorner(gap), ImGui::GetColorU32(ImGuiCol_SeparatorActive));
        } else if (hovered) {
            host->DrawList->AddRectFilled(gap.pos, farCorner(gap), ImGui::GetColorU32(ImGuiCol_SeparatorHovered));
        }
    }
}

void DockLayout::drawTabStrip(int leaf) {
    DockNode& node = nodes_[leaf];
    char name[48];
    std::snprintf(name, sizeof(name), "%s%d", kTabStripPrefix, leaf);
    ImGui::SetNextWindowPos(node.rect.pos);
    ImGui::SetNextWindowSize(ImVec2(std::max(node.rect.size.x, 1.0f), std::max(metrics.tabBarHeight, 1.0f)));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0.0f, 0.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowMinSize, ImVec2(1.0f, 1.0f));
    ImGui::PushStyleColor(ImGuiCol_WindowBg, ImGui::GetStyleColorVec4(ImGuiCol_TitleBg));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus |
                                   ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoScrollWithMouse;
    ImGui::Begin(name, nullptr, flags);
    ImGui::PopStyleColor();
    ImGui::PopStyleVar(4);

    // The layout decides which tab is in front; ImGui's tab bar follows it (SetSelected only acts
    // when the two differ) and reports the user's clicks back.
    const std::string_view front = frontWindow(leaf);
    int clicked = -1;
    if (ImGui::BeginTabBar("##Tabs", ImGuiTabBarFlags_FittingPolicyShrink)) {
        for (size_t i = 0; i < node.windows.size(); ++i) {
            const std::string& window = node.windows[i];
            if (!isWindowOpen(window))
                continue;
            const Binding* b = binding(window);
            const ImGuiTabItemFlags tabFlags = window == front ? ImGuiTabItemFlags_SetSelected : 0;
            if (ImGui::BeginTabItem(window.c_str(), b ? b->open : nullptr, tabFlags))
                ImGui::EndTabItem();
            if (ImGui::IsItemActivated())
                clicked = int(i);
        }
        ImGui::EndTabBar();
    }
    ImGui::End();
    if (clicked >= 0 && clicked != node.selected) {
        node.selected = clicked;
        changed_ = true;
    }
}

bool DockLayout::placeWindow(std::string_view name, ImGuiWindowFlags* flags) {
    const int leaf = nodeOf(name);
    if (leaf < 0 || !frameReady_)
        return true;
    const DockNode& node = nodes_[leaf];
    if (!node.visible || !isWindowOpen(name) || frontWindow(leaf) != name)
        return false;
    DockRect r = node.rect;
    ImGuiWindowFlags add = ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                           ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus;
    if (node.tabs) {
        // The tab strip is the title bar of a shared leaf.
        r.pos.y += metrics.tabBarHeight;
        r.size.y -= metrics.tabBarHeight;
        add |= ImGuiWindowFlags_NoTitleBar;
    }
    // A zero size would ask ImGui to fit the window to its contents.
    ImGui::SetNextWindowPos(r.pos, ImGuiCond_Always);
    ImGui::SetNextWindowSize(ImVec2(std::max(r.size.x, 1.0f), std::max(r.size.y, 1.0f)), ImGuiCond_Always);
    if (flags)
        *flags |= add;
    return true;
}

//-----------------------------------------------------------------------------
// [SECTION] Persistence
//-----------------------------------------------------------------------------

void DockLayout::serializeNode(int node, std::string* out) const {
    const DockNode& n = nodes_[node];
    if (n.isLeaf()) {
        *out += "Leaf=";
        *out += std::to_string(n.selected);
        *out += ' ';
        for (size_t i = 0; i < n.windows.size(); ++i) {
            if (i > 0)
                *out += ';';
            *out += n.windows[i];
        }
        *out += '\n';
        return;
    }
    // Shortest text that reads back as the same float, whatever the locale.
    char ratio[32];
    const auto result = std::to_chars(ratio, ratio + sizeof(ratio), n.ratio);
    *out += n.axis == DockAxis::X ? "Split=X " : "Split=Y ";
    out->append(ratio, result.ptr);
    *out += '\n';
    serializeNode(n.children[0], out);
    serializeNode(n.children[1], out);
}

std::string DockLayout::serialize() const {
    std::string out;
    if (!nodes_.empty())
        serializeNode(0, &out);
    return out;
}

void DockLayout::beginParse() {
    parsed_.clear();
    parseDamagedLine_ = 0;
    parseLineCount_ = 0;
}

void DockLayout::parseLine(std::string_view line) {
    ++parseLineCount_;
    line = trimmed(line);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return;
    const std::string_view key = trimmed(line.substr(0, eq));
    const std::string_view value = trimmed(line.substr(eq + 1));
    if (key != "Split" && key != "Leaf")
        return; // written by another version, or not ours: ignored

    ParsedNode node;
    bool ok = parsed_.size() < kMaxSavedNodes;
    if (ok && key == "Split") {
        // "X 0.17": the axis, then the first child's share.
        ok = value.size() > 2 && (value[0] == 'X' || value[0] == 'Y') && value[1] == ' ';
        if (ok) {
            node.axis = value[0] == 'X' ? DockAxis::X : DockAxis::Y;
            const std::string_view number = trimmed(value.substr(2));
            const auto result = std::from_chars(number.data(), number.data() + number.size(), node.ratio);
            ok = result.ec == std::errc() && result.ptr == number.data() + number.size() && std::isfinite(node.ratio) &&
                 node.ratio >= 0.0f && node.ratio <= 1.0f;
        }
    } else if (ok) {
        // "1 Outliner;UV Editor": the selected tab, then the windows in tab order.
        node.leaf = true;
        const size_t space = value.find(' ');
        ok = space != std::string_view::npos;
        if (ok) {
            const auto result = std::from_chars(value.data(), value.data() + space, node.selected);
            ok = result.ec == std::errc() && result.ptr == value.data() + space;
        }
        std::string_view names = ok ? trimmed(value.substr(space + 1)) : std::string_view();
        while (ok) {
            const size_t sep = names.find(';');
            const std::string_view window = trimmed(names.substr(0, sep));
            ok = !window.empty() && node.windows.size() < kMaxSavedNodes;
            if (ok)
                node.windows.emplace_back(window);
            if (sep == std::string_view::npos)
                break;
            names.remove_prefix(sep + 1);
        }
        ok = ok && node.selected >= 0 && node.selected < int(node.windows.size());
    }
    if (!ok) {
        if (parseDamagedLine_ == 0)
            parseDamagedLine_ = parseLineCount_;
        return;
    }
    parsed_.push_back(std::move(node));
}

// Builds the subtree whose first line is parsed_[*next], in pre-order; returns its index in `out`,
// or -1 when the lines end before the subtree does.
int DockLayout::buildParsed(int depth, size_t* next, std::vector<DockNode>* out, std::string* error) const {
    if (*next >= parsed_.size() || depth > int(kMaxSavedNodes)) {
        *error = "The saved panel layout in layout.ini is incomplete and was ignored.";
        return -1;
    }
    const ParsedNode& p = parsed_[(*next)++];
    const int index = int(out->size());
    out->emplace_back();
    if (p.leaf) {
        (*out)[index].windows = p.windows;
        (*out)[index].selected = p.selected;
        return index;
    }
    (*out)[index].axis = p.axis;
    (*out)[index].ratio = p.ratio;
    const int first = buildParsed(depth + 1, next, out, error);
    if (first < 0)
        return -1;
    const int second = buildParsed(depth + 1, next, out, error);
    if (second < 0)
        return -1;
    (*out)[index].children[0] = first;
    (*out)[index].children[1] = second;
    return index;
}

bool DockLayout::endParse(std::string* error) {
    std::string message;
    std::vector<DockNode> built;
    if (parseDamagedLine_ > 0) {
        message = "The saved panel layout in layout.ini is damaged (line " + std::to_string(parseDamagedLine_) +
                  " of its section) and was ignored.";
    } else if (!parsed_.empty()) {
        size_t next = 0;
        if (buildParsed(0, &next, &built, &message) >= 0 && next != parsed_.size())
            message = "The saved panel layout in layout.ini has lines after its last panel and was ignored.";
    }
    if (message.empty() && !built.empty()) {
        // Each window once, and exactly the windows this editor draws: a panel missing from the
        // tree could never be shown, and an unknown one would leave an empty hole.
        std::vector<std::string_view> seen;
        for (const DockNode& n : built)
            for (const std::string& w : n.windows) {
                if (std::find(seen.begin(), seen.end(), w) != seen.end())
                    message = "The saved panel layout in layout.ini lists \"" + w + "\" twice and was ignored.";
                seen.push_back(w);
            }
        if (message.empty() && !bindings_.empty()) {
            bool same = seen.size() == bindings_.size();
            for (const Binding& b : bindings_)
                same = same && std::find(seen.begin(), seen.end(), b.name) != seen.end();
            if (!same)
                message = "The saved panel layout in layout.ini does not hold this editor's panels and was ignored.";
        }
    }
    parsed_.clear();
    parseDamagedLine_ = 0;
    parseLineCount_ = 0;
    if (!message.empty()) {
        loadError_ = message;
        if (error)
            *error = message;
        return false;
    }
    if (built.empty())
        return true; // no saved layout: nothing changes
    nodes_ = std::move(built);
    loadError_.clear();
    relayout();
    return true;
}

bool DockLayout::parse(std::string_view text, std::string* error) {
    beginParse();
    while (!text.empty()) {
        const size_t end = text.find('\n');
        parseLine(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return endParse(error);
}

//-----------------------------------------------------------------------------
// [SECTION] Settings handler
//-----------------------------------------------------------------------------

// One per ImGui context, on the heap from registration until the context shuts down (its shutdown
// hook frees it). It outlives the layout because the context writes the ini file last, after the
// editor that owned the layout is gone; by then `savedText` holds the final state of the tree.
struct DockSettingsLink {
    DockLayout* layout = nullptr;
    std::string savedText;

    void release() {
        if (!layout)
            return;
        savedText = layout->serialize();
        layout->link_ = nullptr;
        layout = nullptr;
    }
    // The context is going away: the layout, if still alive, is no longer registered anywhere.
    void forget() {
        if (layout)
            layout->link_ = nullptr;
        layout = nullptr;
    }
};

namespace {

DockSettingsLink* linkOf(ImGuiSettingsHandler* handler) { return static_cast<DockSettingsLink*>(handler->UserData); }

void settingsReadInit(ImGuiContext*, ImGuiSettingsHandler* handler) {
    if (DockSettingsLink* link = linkOf(handler); link && link->layout)
        link->layout->beginParse();
}

void* settingsReadOpen(ImGuiContext*, ImGuiSettingsHandler* handler, const char* name) {
    DockSettingsLink* link = linkOf(handler);
    if (!link || !link->layout || std::strcmp(name, kSettingsEntryName) != 0)
        return nullptr;
    link->layout->beginParse(); // of repeated sections the last one counts
    return link;
}

void settingsReadLine(ImGuiContext*, ImGuiSettingsHandler*, void* entry, const char* line) {
    if (DockSettingsLink* link = static_cast<DockSettingsLink*>(entry); link->layout)
        link->layout->parseLine(line);
}

void settingsApplyAll(ImGuiContext*, ImGuiSettingsHandler* handler) {
    if (DockSettingsLink* link = linkOf(handler); link && link->layout)
        link->layout->endParse();
}

void settingsWriteAll(ImGuiContext*, ImGuiSettingsHandler* handler, ImGuiTextBuffer* out) {
    DockSettingsLink* link = linkOf(handler);
    if (!link)
        return;
    const std::string text = link->layout ? link->layout->serialize() : link->savedText;
    if (text.empty())
        return;
    out->appendf("[%s][%s]\n", kDockSettingsType, kSettingsEntryName);
    out->append(text.data(), text.data() + text.size());
    out->append("\n");
}

void settingsShutdown(ImGuiContext*, ImGuiContextHook* hook) {
    DockSettingsLink* link = static_cast<DockSettingsLink*>(hook->UserData);
    link->forget();
    delete link;
}

} // namespace

bool DockLayout::registerSettingsHandler(ImGuiContext* context) {
    if (!context)
        return false;
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(context);
    DockSettingsLink* link = nullptr;
    if (ImGuiSettingsHandler* existing = ImGui::FindSettingsHandler(kDockSettingsType)) {
        link = linkOf(existing);
    } else {
        link = new DockSettingsLink;
        ImGuiSettingsHandler handler;
        handler.TypeName = kDockSettingsType;
        handler.TypeHash = ImHashStr(kDockSettingsType);
        handler.ReadInitFn = settingsReadInit;
        handler.ReadOpenFn = settingsReadOpen;
        handler.ReadLineFn = settingsReadLine;
        handler.ApplyAllFn = settingsApplyAll;
        handler.WriteAllFn = settingsWriteAll;
        handler.UserData = link;
        ImGui::AddSettingsHandler(&handler);
        ImGuiContextHook hook;
        hook.Type = ImGuiContextHookType_Shutdown;
        hook.Callback = settingsShutdown;
        hook.UserData = link;
        ImGui::AddContextHook(context, &hook);
    }
    ImGui::SetCurrentContext(previous);

    if (link->layout != this) {
        if (link_)
            link_->release(); // leaving another context: it keeps our last state
        link->release();      // the layout registered before us stops writing here
        link->layout = this;
        link->savedText.clear();
        link_ = link;
    }
    return true;
}

DockLayout::~DockLayout() {
    if (link_)
        link_->release();
}

} // namespace orva::ui
