#include "app/application.h"

#include <cstdio>
#include <vector>

#include <SDL3/SDL.h>
#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl3.h>
#include <imgui.h>

#include "app/branding.h"
#include "app/theme.h"
#include "editor/editor.h"
#include "editor/transform_gizmo.h"
#include "io/bmp.h"
#include "io/file_utils.h"
#include "render/gl_functions.h"
#include "version.h"

namespace orva {

namespace {

void* getGLProc(const char* name) { return reinterpret_cast<void*>(SDL_GL_GetProcAddress(name)); }

} // namespace

Application::Application() = default;

Application::~Application() { shutdown(); }

bool Application::initialize(std::string* error) {
    auto fail = [error](std::string message) {
        if (error)
            *error = std::move(message);
        return false;
    };

    SDL_SetAppMetadata(kAppName, kAppVersion, "studio.orva.editor");
    if (!SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS))
        return fail(std::string("SDL_Init failed: ") + SDL_GetError());

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    float scale = SDL_GetDisplayContentScale(SDL_GetPrimaryDisplay());
    if (!(scale > 0.0f))
        scale = 1.0f;

    window =
        SDL_CreateWindow(kAppName, int(1440 * scale), int(900 * scale),
                         SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIGH_PIXEL_DENSITY);
    if (!window)
        return fail(std::string("Could not create the window: ") + SDL_GetError());
    SDL_SetWindowMinimumSize(window, 800, 500);

    glContext = SDL_GL_CreateContext(window);
    if (!glContext)
        return fail(std::string("Could not create an OpenGL 3.3 context: ") + SDL_GetError() +
                    "\nORVA 3D Studio requires a GPU driver supporting OpenGL 3.3 or newer.");
    SDL_GL_MakeCurrent(window, glContext);
    SDL_GL_SetSwapInterval(1);

    const char* missing = nullptr;
    if (!gl::loadFunctions(getGLProc, &missing))
        return fail(std::string("Missing OpenGL function: ") + (missing ? missing : "?"));

    auto glText = [](GLenum name) {
        const GLubyte* s = gl::glGetString(name);
        return s ? reinterpret_cast<const char*>(s) : "";
    };
    std::printf("%s %s\nOpenGL %s | %s | %s\n", kAppName, kAppVersion, glText(GL_VERSION), glText(GL_RENDERER),
                glText(GL_VENDOR));
    std::fflush(stdout);

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.ConfigWindowsMoveFromTitleBarOnly = true;

    if (char* pref = SDL_GetPrefPath("ORVA", kAppName)) {
        iniPath = std::string(pref) + "layout.ini";
        SDL_free(pref);
        io.IniFilename = iniPath.c_str();
    }

    io.Fonts->AddFontDefault();
    applyEditorTheme(scale);
    ImGuiStyle& style = ImGui::GetStyle();
    style.FontSizeBase = 15.0f;
    style.FontScaleDpi = scale;

    if (!ImGui_ImplSDL3_InitForOpenGL(window, glContext) || !ImGui_ImplOpenGL3_Init("#version 330 core"))
        return fail("Failed to initialize the Dear ImGui backends.");
    imguiInitialized = true;

    // Without a decodable icon the window keeps the system's.
    if (SDL_Surface* icon = Branding::loadSurface("icon_256.png")) {
        SDL_SetWindowIcon(window, icon);
        SDL_DestroySurface(icon);
    }

    editor = std::make_unique<Editor>(window);
    if (!editor->initialize(error))
        return false;

    SDL_ShowWindow(window);
    return true;
}

int Application::run(const LaunchOptions& options) {
    std::string error;
    if (!initialize(&error)) {
        std::fprintf(stderr, "%s: %s\n", kAppName, error.c_str());
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kAppName, error.c_str(), nullptr);
        shutdown();
        return 1;
    }
    if (!options.screenshotPath.empty())
        editor->splashDone = true;
    if (!options.path.empty())
        editor->handleDroppedFile(options.path);

    int frame = 0;
    std::string lastTitle;
    const SDL_WindowID windowId = SDL_GetWindowID(window);
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            ImGui_ImplSDL3_ProcessEvent(&event);
            if (event.type == SDL_EVENT_DROP_FILE && event.drop.data)
                editor->handleDroppedFile(event.drop.data);
            else if (event.type == SDL_EVENT_QUIT)
                editor->requestQuit();
            else if (event.type == SDL_EVENT_WINDOW_CLOSE_REQUESTED && event.window.windowID == windowId)
                editor->requestQuit();
        }
        // A minimised window builds no frames, and they do not count towards the capture.
        if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) {
            SDL_Delay(16);
            continue;
        }

        ImGui_ImplOpenGL3_NewFrame();
        ImGui_ImplSDL3_NewFrame();
        ImGui::NewFrame();
        TransformGizmo::beginFrame();
        editor->frame();
        ImGui::Render();

        int w = 0, h = 0;
        SDL_GetWindowSizeInPixels(window, &w, &h);
        gl::glBindFramebuffer(GL_FRAMEBUFFER, 0);
        gl::glViewport(0, 0, w, h);
        gl::glClearColor(0.08f, 0.08f, 0.09f, 1.0f);
        gl::glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());

        ++frame;
        const bool capture = !options.screenshotPath.empty() && frame == options.frames;
        if (capture)
            saveScreenshot(options.screenshotPath);
        SDL_GL_SwapWindow(window);

        std::string title = editor->windowTitle();
        if (title != lastTitle) {
            SDL_SetWindowTitle(window, title.c_str());
            lastTitle = std::move(title);
        }
        if (capture || editor->shouldQuit)
            break;
    }
    shutdown();
    return 0;
}

bool Application::saveScreenshot(const std::string& path) {
    int w = 0, h = 0;
    SDL_GetWindowSizeInPixels(window, &w, &h);
    std::vector<uint8_t> pixels(size_t(w > 0 ? w : 0) * size_t(h > 0 ? h : 0) * 4, 0);
    if (!pixels.empty()) {
        gl::glPixelStorei(GL_PACK_ALIGNMENT, 1);
        gl::glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }
    const std::vector<uint8_t> bmp = io::encodeBmp32(pixels.data(), w, h);
    std::string error;
    if (!io::writeFileAtomic(path, bmp.data(), bmp.size(), &error)) {
        std::fprintf(stderr, "Screenshot failed: %s\n", error.c_str());
        return false;
    }
    std::printf("Screenshot written to %s\n", path.c_str());
    std::fflush(stdout);
    return true;
}

void Application::shutdown() {
    if (editor) {
        editor->shutdown();
        editor.reset();
    }
    if (imguiInitialized) {
        ImGui_ImplOpenGL3_Shutdown();
        ImGui_ImplSDL3_Shutdown();
        imguiInitialized = false;
    }
    // The context may exist without the backends after a failed start-up.
    if (ImGui::GetCurrentContext())
        ImGui::DestroyContext();
    if (glContext) {
        SDL_GL_DestroyContext(glContext);
        glContext = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    SDL_Quit();
}

} // namespace orva
