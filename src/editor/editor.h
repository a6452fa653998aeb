#pragma once

#include <string>

struct SDL_Window;

namespace orva {

// The whole user interface. The Application constructs one on its window, calls `initialize`,
// then `frame` once per ImGui frame, reads `windowTitle` and `shouldQuit` after every frame,
// forwards dropped files and quit requests, and finally calls `shutdown`.
class Editor {
public:
    explicit Editor(SDL_Window* window);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Sets up what needs the GL context; false with one sentence in `error` when it cannot.
    bool initialize(std::string* error);
    // Builds the interface for one frame, between ImGui::NewFrame and ImGui::Render.
    void frame();
    // Releases GL resources while the context is still current; safe to call twice.
    void shutdown();

    std::string windowTitle() const;
    // Shows `message` on the status line; its age is measured in ImGui time.
    void status(const std::string& message);
    // Opens whatever file `path` names (a path given on the command line arrives here too).
    void handleDroppedFile(const std::string& path);
    // Asks to quit; quits at once while there is nothing unsaved.
    void requestQuit();

    SDL_Window* window = nullptr; // not owned
    std::string statusMessage;
    double statusTime = 0.0;
    bool splashDone = false; // set by the Application to skip the start-up splash
    bool shouldQuit = false; // quitting is confirmed; the loop ends after this frame

private:
    void drawStatusBar();
};

} // namespace orva
