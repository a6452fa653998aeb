// The web game commands: build the scene into a folder, serve it with the built-in server and open
// the browser. Build failures go to the error modal; the outcome to the status line. When phones
// are allowed, a window shows the network address as a QR code for the phone's camera.

#include "editor/editor.h"

#include <algorithm>
#include <cmath>

#include <SDL3/SDL.h>
#include <imgui.h>

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
    showPhoneWindow = allowLan && !webServer.lanUrl().empty();
}

void Editor::commandOpenGameInBrowser() {
    const std::string url = webServer.localUrl();
    if (url.empty())
        return;
    if (!launchBrowser(openUrl, url))
        status(openItYourself(url));
}

const QrCode& Editor::lanQrCode() {
    const std::string url = webServer.lanUrl();
    if (url != lanQrUrl) {
        lanQr = encodeQrCode(url);
        lanQrUrl = url;
    }
    return lanQr;
}

void Editor::drawPhoneWindow() {
    // The window goes with the server: it is closed for good once the address is gone.
    if (showPhoneWindow && webServer.lanUrl().empty())
        showPhoneWindow = false;
    if (!showPhoneWindow)
        return;
    const float font = ImGui::GetFontSize();
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(ImVec2(viewport->WorkPos.x + viewport->WorkSize.x * 0.5f,
                                   viewport->WorkPos.y + viewport->WorkSize.y * 0.5f),
                            ImGuiCond_Appearing, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSize(ImVec2(20.0f * font, 0.0f), ImGuiCond_Appearing);
    if (ImGui::Begin("Play on Your Phone", &showPhoneWindow, ImGuiWindowFlags_NoCollapse)) {
        const QrCode& code = lanQrCode();
        ImGui::TextWrapped("Scan the code with the camera of a phone on the same network, or open:");
        ImGui::TextWrapped("%s", lanQrUrl.c_str());
        ImGui::Spacing();
        // Centred, as large as the window allows up to 10 pixels a module at a 16-pixel font.
        const float avail = ImGui::GetContentRegionAvail().x;
        const int modulePixels = qrModulePixels(code.size, avail, 2, static_cast<int>(std::lround(font * 0.625f)));
        const float side = qrCodeSide(code, modulePixels);
        ImGui::SetCursorPosX(ImGui::GetCursorPosX() + std::max(0.0f, (avail - side) * 0.5f));
        qrCodeImage("##phoneqr", code, modulePixels);
        ImGui::Spacing();
        if (ImGui::Button("Close", ImVec2(-1.0f, 0.0f)))
            showPhoneWindow = false;
    }
    ImGui::End();
}

} // namespace orva
