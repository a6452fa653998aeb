#pragma once

#include <memory>
#include <string>

#include "app/launch_options.h"

struct SDL_Window;
struct SDL_GLContextState;

namespace orva {

class Editor;

// Owns the window, the OpenGL 3.3 core context, the ImGui context with its SDL3 and OpenGL3
// backends, and the Editor; runs the frame loop on the main thread.
class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Brings up SDL, the window, the GL context and table, ImGui and the Editor. On failure
    // fills `error` and returns false; what was created stays until `shutdown`.
    bool initialize(std::string* error);
    // Initialises, loops until the editor confirms quitting or the screenshot frame was
    // captured, shuts down. 0 after a normal end (whether or not a screenshot could be
    // written), 1 when initialisation failed.
    int run(const LaunchOptions& options);
    // Reads back the current framebuffer (the whole window, interface included) and writes it
    // to `path` as a 32-bit BMP, whatever the extension. Returns the result of the write.
    bool saveScreenshot(const std::string& path);
    // Releases everything in reverse order of creation; safe to call more than once.
    void shutdown();

    SDL_Window* window = nullptr;
    SDL_GLContextState* glContext = nullptr;
    std::unique_ptr<Editor> editor;
    std::string iniPath; // ImGui keeps a pointer to these characters
    bool imguiInitialized = false;
};

} // namespace orva
