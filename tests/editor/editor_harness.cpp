#include "editor/editor_harness.h"

#include <algorithm>

#include <SDL3/SDL.h>
#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl3.h>

#include "app/theme.h"
#include "editor/transform_gizmo.h"
#include "io/file_utils.h"
#include "io/image.h"
#include "render/gl_functions.h"

namespace orva::test {

namespace {

void* getProc(const char* name) { return reinterpret_cast<void*>(SDL_GL_GetProcAddress(name)); }

ImGuiKey keyForChar(char c) {
    if (c >= 'a' && c <= 'z')
        return ImGuiKey(ImGuiKey_A + (c - 'a'));
    if (c >= 'A' && c <= 'Z')
        return ImGuiKey(ImGuiKey_A + (c - 'A'));
    if (c >= '0' && c <= '9')
        return ImGuiKey(ImGuiKey_0 + (c - '0'));
    if (c == ' ')
        return ImGuiKey_Space;
    return ImGuiKey_None;
}

void modifierKeys(ImGuiKeyChord chord, bool down) {
    ImGuiIO& io = ImGui::GetIO();
    if (chord & ImGuiMod_Ctrl)
        io.AddKeyEvent(ImGuiMod_Ctrl, down);
    if (chord & ImGuiMod_Shift)
        io.AddKeyEvent(ImGuiMod_Shift, down);
    if (chord & ImGuiMod_Alt)
        io.AddKeyEvent(ImGuiMod_Alt, down);
    if (chord & ImGuiMod_Super)
        io.AddKeyEvent(ImGuiMod_Super, down);
}

} // namespace

EditorHarness::EditorHarness(HarnessOptions options) {
    setUp(options);
    if (!ok_)
        return;
    // Record every item; a frame's list becomes the "last frame" list when the next one starts.
    recorder_.itemAdded = [this](ImGuiID id, const ImRect& rect, const ImGuiLastItemData* data) {
        const ImGuiContext& g = *ImGui::GetCurrentContext();
        for (auto it = items_.rbegin(); it != items_.rend(); ++it)
            if (it->id == id) {
                it->rect = rect;
                return;
            }
        UiItem item;
        item.id = id;
        item.rect = rect;
        item.window = g.CurrentWindow ? g.CurrentWindow->Name : "";
        item.isWindow = g.CurrentWindow && g.CurrentWindow->ID == id;
        item.disabled = data && (data->ItemFlags & ImGuiItemFlags_Disabled);
        items_.push_back(std::move(item));
    };
    recorder_.itemInfo = [this](ImGuiID id, const char* label, ImGuiItemStatusFlags flags) {
        for (auto it = items_.rbegin(); it != items_.rend(); ++it)
            if (it->id == id) {
                it->label = label ? label : "";
                it->checkable = flags & ImGuiItemStatusFlags_Checkable;
                it->checked = flags & ImGuiItemStatusFlags_Checked;
                return;
            }
    };
    ui::setItemRecorder(context_, &recorder_);
}

void EditorHarness::setUp(const HarnessOptions& options) {
    width_ = options.width;
    height_ = options.height;
    if (!SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS)) {
        error_ = std::string("SDL_Init failed: ") + SDL_GetError();
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    window_ = SDL_CreateWindow("orva editor harness", width_, height_, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window_) {
        error_ = std::string("SDL_CreateWindow failed: ") + SDL_GetError();
        return;
    }
    glContext_ = SDL_GL_CreateContext(window_);
    if (!glContext_) {
        error_ = std::string("SDL_GL_CreateContext failed: ") + SDL_GetError();
        return;
    }
    SDL_GL_MakeCurrent(window_, glContext_);
    const char* missing = nullptr;
    if (!gl::loadFunctions(getProc, &missing)) {
        error_ = std::string("missing GL function ") + (missing ? missing : "?");
        return;
    }

    // As the Application sets ImGui up, at a display scale of 1.
    context_ = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.ConfigWindowsMoveFromTitleBarOnly = true;
    iniPath_ = options.iniPath;
    io.IniFilename = iniPath_.empty() ? nullptr : iniPath_.c_str();
    io.Fonts->AddFontDefault();
    applyEditorTheme(1.0f);
    ImGui::GetStyle().FontSizeBase = 15.0f;
    ImGui::GetStyle().FontScaleDpi = 1.0f;
    if (!ImGui_ImplSDL3_InitForOpenGL(window_, glContext_) || !ImGui_ImplOpenGL3_Init("#version 330 core")) {
        error_ = "Failed to initialize the Dear ImGui backends.";
        return;
    }
    backends_ = true;

    editor_ = std::make_unique<Editor>(window_);
    if (!editor_->initialize(&error_))
        return;
    if (options.skipSplash)
        editor_->splashDone = true;
    ok_ = true;
}

EditorHarness::~EditorHarness() {
    if (window_ && glContext_)
        SDL_GL_MakeCurrent(window_, glContext_);
    if (editor_) {
        editor_->shutdown();
        editor_.reset();
    }
    if (context_) {
        ui::setItemRecorder(context_, nullptr);
        ImGui::SetCurrentContext(context_);
        if (backends_) {
            ImGui_ImplOpenGL3_Shutdown();
            ImGui_ImplSDL3_Shutdown();
        }
        ImGui::DestroyContext(context_); // writes the layout file
    }
    if (glContext_)
        SDL_GL_DestroyContext(glContext_);
    if (window_)
        SDL_DestroyWindow(window_);
    // SDL stays initialised: other tests of the process keep their own window.
}

//-----------------------------------------------------------------------------
// [SECTION] Frames
//-----------------------------------------------------------------------------

void EditorHarness::frame(int count) {
    if (!ok_)
        return;
    SDL_GL_MakeCurrent(window_, glContext_);
    ImGui::SetCurrentContext(context_);
    for (int i = 0; i < count; ++i) {
        items_.clear();
        ImGui_ImplOpenGL3_NewFrame();
        ImGui_ImplSDL3_NewFrame();
        // A steady clock: double clicks, hover delays and status ageing do not depend on how busy
        // the machine is.
        ImGui::GetIO().DeltaTime = kFrameSeconds;
        ImGui::NewFrame();
        TransformGizmo::beginFrame();
        editor_->frame();
        if (afterEditorFrame)
            afterEditorFrame();
        ImGui::Render();
        int w = 0, h = 0;
        SDL_GetWindowSizeInPixels(window_, &w, &h);
        gl::glBindFramebuffer(GL_FRAMEBUFFER, 0);
        gl::glViewport(0, 0, w, h);
        gl::glClearColor(0.08f, 0.08f, 0.09f, 1.0f);
        gl::glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
        lastItems_.swap(items_);
    }
}

//-----------------------------------------------------------------------------
// [SECTION] Mouse and keyboard
//-----------------------------------------------------------------------------

void EditorHarness::moveMouse(ImVec2 pos) {
    ImGui::SetCurrentContext(context_);
    ImGui::GetIO().AddMousePosEvent(pos.x, pos.y);
    frame();
}

void EditorHarness::click(ImVec2 pos, ImGuiMouseButton button) {
    moveMouse(pos);
    ImGui::GetIO().AddMouseButtonEvent(button, true);
    frame();
    ImGui::GetIO().AddMouseButtonEvent(button, false);
    frame();
    frame();
}

void EditorHarness::doubleClick(ImVec2 pos) {
    moveMouse(pos);
    for (int i = 0; i < 2; ++i) {
        ImGui::GetIO().AddMouseButtonEvent(ImGuiMouseButton_Left, true);
        frame();
        ImGui::GetIO().AddMouseButtonEvent(ImGuiMouseButton_Left, false);
        frame();
    }
    frame();
}

void EditorHarness::drag(ImVec2 from, ImVec2 to, int steps) {
    moveMouse(from);
    ImGui::GetIO().AddMouseButtonEvent(ImGuiMouseButton_Left, true);
    frame();
    for (int i = 1; i <= steps; ++i) {
        const float t = float(i) / float(steps);
        moveMouse(ImVec2(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t));
    }
    ImGui::GetIO().AddMouseButtonEvent(ImGuiMouseButton_Left, false);
    frame();
    frame();
}

void EditorHarness::press(ImGuiKeyChord chord) {
    ImGui::SetCurrentContext(context_);
    const ImGuiKey key = ImGuiKey(chord & ~ImGuiMod_Mask_);
    if (chord & ImGuiMod_Mask_) {
        modifierKeys(chord, true);
        frame();
    }
    ImGui::GetIO().AddKeyEvent(key, true);
    frame();
    ImGui::GetIO().AddKeyEvent(key, false);
    frame();
    if (chord & ImGuiMod_Mask_) {
        modifierKeys(chord, false);
        frame();
    }
}

void EditorHarness::type(std::string_view text) {
    ImGui::SetCurrentContext(context_);
    for (char c : text) {
        const ImGuiKey key = keyForChar(c);
        ImGuiIO& io = ImGui::GetIO();
        if (key != ImGuiKey_None)
            io.AddKeyEvent(key, true);
        io.AddInputCharacter(static_cast<unsigned char>(c));
        frame();
        if (key != ImGuiKey_None)
            io.AddKeyEvent(key, false);
        frame();
    }
}

//-----------------------------------------------------------------------------
// [SECTION] Items of the last frame
//-----------------------------------------------------------------------------

// Menus nest: of several items with the label, the one in the deepest open popup wins (the
// "Mesh" of Object > Add rather than the menu bar's), then the last one drawn.
const UiItem* EditorHarness::find(std::string_view label) const {
    const UiItem* best = nullptr;
    int bestDepth = -1;
    for (const UiItem& item : lastItems_) {
        if (item.isWindow || item.label != label)
            continue;
        int depth = 0;
        for (int i = 0; i < context_->OpenPopupStack.Size; ++i) {
            const ImGuiWindow* popup = context_->OpenPopupStack[i].Window;
            if (popup && item.window == popup->Name)
                depth = i + 1;
        }
        if (depth >= bestDepth) {
            best = &item;
            bestDepth = depth;
        }
    }
    return best;
}

const UiItem* EditorHarness::findIn(std::string_view window, std::string_view label) const {
    for (auto it = lastItems_.rbegin(); it != lastItems_.rend(); ++it)
        if (!it->isWindow && it->window == window && it->label == label)
            return &*it;
    return nullptr;
}

const UiItem* EditorHarness::findTab(std::string_view label) const {
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(context_);
    ImGuiID id = 0;
    for (int n = 0; n < context_->TabBars.GetMapSize() && !id; ++n) {
        ImGuiTabBar* bar = context_->TabBars.TryGetMapData(n);
        if (!bar)
            continue;
        for (ImGuiTabItem& tab : bar->Tabs)
            if (label == ImGui::TabBarGetTabName(bar, &tab))
                id = tab.ID;
    }
    ImGui::SetCurrentContext(previous);
    return id ? findId(id) : nullptr;
}

std::vector<const UiItem*> EditorHarness::findAll(std::string_view label) const {
    std::vector<const UiItem*> found;
    for (const UiItem& item : lastItems_)
        if (!item.isWindow && item.label == label)
            found.push_back(&item);
    return found;
}

const UiItem* EditorHarness::findId(ImGuiID id) const {
    for (auto it = lastItems_.rbegin(); it != lastItems_.rend(); ++it)
        if (it->id == id)
            return &*it;
    return nullptr;
}

bool EditorHarness::clickItem(std::string_view label) {
    const UiItem* item = find(label);
    if (!item)
        item = findTab(label);
    if (!item)
        return false;
    click(item->rect.GetCenter());
    return true;
}

bool EditorHarness::openMenus(const std::string_view* begin, const std::string_view* end) {
    for (const std::string_view* label = begin; label != end; ++label) {
        // The path starts in the main menu bar, whatever the panels call their own items.
        const UiItem* item = label == begin ? findIn("##MainMenuBar", *label) : find(*label);
        if (!item)
            return false;
        // A click on the title of a menu that is already open would close it.
        if (!isMenuOpen(item->id))
            click(item->rect.GetCenter());
    }
    return true;
}

bool EditorHarness::openMenu(std::initializer_list<std::string_view> path) {
    return openMenus(path.begin(), path.end());
}

bool EditorHarness::clickMenu(std::initializer_list<std::string_view> path) {
    if (path.size() == 0 || !openMenus(path.begin(), path.end() - 1))
        return false;
    return clickItem(*(path.end() - 1));
}

bool EditorHarness::isMenuOpen(ImGuiID menuId) const {
    for (const ImGuiPopupData& popup : context_->OpenPopupStack)
        if (popup.PopupId == menuId)
            return true;
    return false;
}

void EditorHarness::closeMenus() { click(ImVec2(float(width_) * 0.5f, float(height_) - 4.0f)); }

//-----------------------------------------------------------------------------
// [SECTION] Windows
//-----------------------------------------------------------------------------

bool EditorHarness::windowRect(const char* name, ImRect* rect) const {
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(context_);
    ImGuiWindow* window = ImGui::FindWindowByName(name);
    const bool drawn = window && window->Active;
    if (drawn && rect)
        *rect = window->Rect();
    ImGui::SetCurrentContext(previous);
    return drawn;
}

ImVec2 EditorHarness::windowCentre(const char* name) const {
    ImRect rect;
    windowRect(name, &rect);
    return rect.GetCenter();
}

bool EditorHarness::isPopupOpen(const char* name) const {
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(context_);
    const ImGuiContext& g = *context_;
    bool open = false;
    for (const ImGuiPopupData& popup : g.OpenPopupStack)
        if (popup.Window && std::string_view(popup.Window->Name).find(name) != std::string_view::npos)
            open = true;
    ImGui::SetCurrentContext(previous);
    return open;
}

//-----------------------------------------------------------------------------
// [SECTION] Pictures
//-----------------------------------------------------------------------------

bool EditorHarness::readPixels(io::RgbaImage* image) {
    if (!ok_ || !image)
        return false;
    SDL_GL_MakeCurrent(window_, glContext_);
    int w = 0, h = 0;
    SDL_GetWindowSizeInPixels(window_, &w, &h);
    std::vector<uint8_t> rows(size_t(w) * size_t(h) * 4);
    gl::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl::glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    // GL rows run bottom-up; an image's top-down. Opaque, as the window shows it.
    image->width = w;
    image->height = h;
    image->pixels.resize(rows.size());
    const size_t row = size_t(w) * 4;
    for (int y = 0; y < h; ++y)
        std::copy_n(rows.data() + size_t(h - 1 - y) * row, row, image->pixels.data() + size_t(y) * row);
    for (size_t i = 3; i < image->pixels.size(); i += 4)
        image->pixels[i] = 255;
    return true;
}

bool EditorHarness::saveScreenshot(const std::string& path, std::string* error) {
    io::RgbaImage image;
    std::vector<uint8_t> png;
    if (!readPixels(&image) || !io::encodePng(image, png)) {
        if (error)
            *error = "could not read or encode the window's pixels";
        return false;
    }
    return io::writeFileAtomic(path, png.data(), png.size(), error);
}

} // namespace orva::test
