#include "app/command_line_tasks.h"

#include "app/qr_code.h"
#include "document/document.h"
#include "game/local_web_server.h"
#include "game/web_build.h"
#include "io/export_options.h"
#include "io/file_utils.h"
#include "io/glb_export.h"
#include "io/model_import.h"
#include "io/obj_export.h"
#include "io/scene_file.h"
#include "version.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <filesystem>
#include <pthread.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace orva {

namespace {

// [SECTION] Helpers

std::string lowerExtension(const std::string& path) {
    const std::string name = io::fileName(path);
    const std::string stem = io::fileStem(path);
    std::string ext = name.substr(stem.size());
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

void fail(std::FILE* err, const std::string& message) { std::fprintf(err, "%s: %s\n", kAppName, message.c_str()); }

// The scene a task works on: the scene file `path`, or the default scene when `path` is empty.
// `title` receives the file's stem, or "ORVA Game" for the default scene.
bool loadInputScene(const std::string& path, Scene& scene, std::string& title, std::FILE* err, std::string* error) {
    if (path.empty()) {
        Document document;
        scene = document.state.scene;
        title = "ORVA Game";
        return true;
    }
    const std::string ext = lowerExtension(path);
    if (io::isImportableModel(path)) {
        // A model arrives in an empty scene, as the editor would import it into a new one.
        io::ImportResult result;
        std::string reason;
        Scene imported;
        if (!io::importModel(imported, path, &result, &reason)) {
            *error = "Cannot import " + path + ": " + reason;
            return false;
        }
        for (const std::string& warning : result.warnings)
            fail(err, "warning: " + warning);
        scene = std::move(imported);
        title = io::fileStem(path);
        return true;
    }
    io::ProjectData data;
    std::vector<std::string> warnings;
    if (!io::loadOrvaProject(path, data, error, &warnings))
        return false;
    for (const std::string& warning : warnings)
        fail(err, "warning: " + warning);
    scene = std::move(data.scene);
    title = io::fileStem(path);
    return true;
}

// [SECTION] Tasks

int buildWeb(const LaunchOptions& options, std::FILE* out, std::FILE* err) {
    Scene scene;
    std::string title, error;
    if (!loadInputScene(options.path, scene, title, err, &error)) {
        fail(err, error);
        return 1;
    }
    game::WebBuildResult result;
    if (!game::buildWebGame(scene, options.taskTarget, game::WebBuildOptions{title}, &result, &error)) {
        fail(err, "Web build failed: " + error);
        return 1;
    }
    std::fprintf(out, "Built web game in %s%s\n", result.outputDir.c_str(),
                 result.spawn.found ? "" : " (no Spawn Point in the scene: using a default start position)");
    return 0;
}

int exportScene(const LaunchOptions& options, std::FILE* out, std::FILE* err) {
    const std::string& target = options.taskTarget;
    const std::string ext = lowerExtension(target);
    if (ext != ".glb" && ext != ".obj") {
        fail(err, "Cannot export to " + target + ": the file name must end in .glb or .obj.");
        return 1;
    }
    Scene scene;
    std::string title, error;
    if (!loadInputScene(options.path, scene, title, err, &error)) {
        fail(err, error);
        return 1;
    }
    const io::ExportOptions whole;
    const bool ok =
        ext == ".glb" ? io::exportGlb(scene, target, whole, &error) : io::exportObj(scene, target, whole, &error);
    if (!ok) {
        fail(err, "Export failed: " + error);
        return 1;
    }
    std::fprintf(out, "Exported %s\n", target.c_str());
    return 0;
}

int serve(const LaunchOptions& options, std::FILE* out, std::FILE* err) {
    std::error_code ec;
    if (!std::filesystem::is_directory(io::pathFromUtf8(options.taskTarget), ec)) {
        fail(err, "Cannot serve " + options.taskTarget + ": it is not a folder.");
        return 1;
    }
    // Blocked before the server thread starts, so that it inherits the mask and the signals
    // reach the sigwait below instead of ending the process.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    game::LocalWebServer server;
    std::string error;
    if (!server.start(options.taskTarget, options.allowLan, 8080, &error)) {
        fail(err, "Could not start the game server: " + error);
        return 1;
    }
    std::string line = "Serving " + options.taskTarget + " at " + server.localUrl();
    if (options.allowLan) {
        const std::string lan = server.lanUrl();
        line += lan.empty() ? " (local network address unknown)" : " and on the local network at " + lan;
    }
    std::fprintf(out, "%s\n", line.c_str());
    // On a terminal the phone address also comes as a QR code, drawn black on white.
    if (options.allowLan && isatty(fileno(out)) == 1) {
        const std::string code = qrCodeText(encodeQrCode(server.lanUrl()), true);
        std::fputs(code.c_str(), out);
    }
    std::fflush(out);

    int received = 0;
    sigwait(&stopSignals, &received);
    server.stop();
    return 0;
}

} // namespace

const char* commandLineUsage() {
    return "Usage: orva [options] [FILE]\n"
           "Opens FILE (a scene, project, model or image) in the editor.\n"
           "\n"
           "Options:\n"
           "  --screenshot FILE        write the window as a BMP file on the chosen frame, then exit\n"
           "  --frames N               the frame --screenshot captures (default 30)\n"
           "  --build-web FOLDER [INPUT]\n"
           "                           build the web game of INPUT (or of the default scene) into FOLDER\n"
           "  --export FILE.glb|FILE.obj [INPUT]\n"
           "                           export the whole scene of INPUT (or the default scene) to FILE\n"
           "                           INPUT is a .orva scene, or a .fbx/.obj model imported into an empty scene\n"
           "  --serve FOLDER           serve FOLDER over HTTP (from port 8080) until interrupted\n"
           "  --lan                    with --serve: also serve to other devices on the local network\n"
           "                           (on a terminal the address is also shown as a QR code)\n"
           "  --help                   show this text\n"
           "\n"
           "--build-web, --export, --serve and --help open no window: they print one result line\n"
           "and exit with status 0, or report the failure on standard error with status 1.\n";
}

bool hasCommandLineTask(const LaunchOptions& options) {
    return options.task != CommandLineTask::None || !options.error.empty();
}

int runCommandLineTask(const LaunchOptions& options, std::FILE* out, std::FILE* err) {
    if (!options.error.empty()) {
        fail(err, options.error + " See --help.");
        return 1;
    }
    switch (options.task) {
    case CommandLineTask::Help:
        std::fputs(commandLineUsage(), out);
        return 0;
    case CommandLineTask::BuildWeb:
        return buildWeb(options, out, err);
    case CommandLineTask::Export:
        return exportScene(options, out, err);
    case CommandLineTask::Serve:
        return serve(options, out, err);
    case CommandLineTask::None:
        break;
    }
    return 0;
}

} // namespace orva
