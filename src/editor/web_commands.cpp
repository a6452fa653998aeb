// The web game commands: build the scene into a folder, serve it with the built-in server and open
// the browser. Build failures go to the error modal; the outcome to the status line.

#include "editor/editor.h"

#include <SDL3/SDL.h>

#include "game/web_build.h"
#include "io/file_utils.h"
#include "version.h"

namespace orva {

namespace {

constexpr int kFirstWebPort = 8080;

// True when the browser was handed `url`.
bool launchBrowser(const std::function<bool(const std::string&)>& openUrl, const std::string& url) {
    return openUrl ? openUrl(url) : SDL_OpenURL(url.c_str());
}

std::string openItYourself(const std::string& url) { return "Open " + url + " in your web browser to play"; }

} // namespace

std::string Editor::webBuildDirectory() const {
    const std::string folderName =
        (document.path.empty() ? std::string("Untitled") : io::fileStem(document.path)) + "_web";
    if (project.isOpen())
        return io::pathToUtf8(io::pathFromUtf8(project.root) / "Builds" / io::pathFromUtf8(folderName));
    if (!document.path.empty())
        return io::pathToUtf8(io::pathFromUtf8(document.path).parent_path() / io::pathFromUtf8(folderName));
    // The preference path ends with a separator; without one the build goes below the working folder.
    std::string base;
    if (char* pref = SDL_GetPrefPath("ORVA", kAppName)) {
        base = pref;
        SDL_free(pref);
    }
    return base + "WebBuild/Untitled_web";
}

void Editor::commandBuildWeb(bool run) {
    game::WebBuildOptions options;
    options.title = document.path.empty() ? std::string("ORVA Game") : io::fileStem(document.path);
    const std::string folder = webBuildDirectory();

    game::WebBuildResult result;
    std::string buildError;
    if (!game::buildWebGame(document.state.scene, folder, options, &result, &buildError)) {
        error("Web build failed", buildError);
        return;
    }
    lastWebBuild = folder;
    const std::string suffix =
        result.spawn.found ? std::string() : " (no Spawn Point in the scene: using a default start position)";
    if (!run) {
        status("Built web game in " + folder + suffix);
        return;
    }

    std::string serverError;
    if (!webServer.start(folder, allowLan, kFirstWebPort, &serverError)) {
        error("Could not start the game server", serverError);
        return;
    }
    // When no browser could be opened, the status line says where to go instead.
    const std::string url = webServer.localUrl();
    if (launchBrowser(openUrl, url))
        status("Game running at " + url + suffix);
    else
        status(openItYourself(url) + suffix);
}

void Editor::commandOpenGameInBrowser() {
    const std::string url = webServer.localUrl();
    if (url.empty())
        return;
    if (!launchBrowser(openUrl, url))
        status(openItYourself(url));
}

} // namespace orva
