// Runs the real orva executable with the window-less options, without a display: any SDL video
// start-up would fail there, so a passing run shows that no window was opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <regex>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <nlohmann/json.hpp>

#include "io/file_utils.h"
#include "io/scene_file.h"
#include "scene/primitives.h"
#include "support/glb_inspect.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string out, err;
};

// Every line the program writes on standard error names the program first.
size_t countLines(const std::string& text) { return size_t(std::count(text.begin(), text.end(), '\n')); }

class CommandLineRun : public orva::test::TempDirTest {
protected:
    // Runs orva with `args` (already shell-quoted where needed) and no display.
    RunResult run(const std::string& args) {
        const std::string outFile = (dir / "stdout.txt").string(), errFile = (dir / "stderr.txt").string();
        const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME='" + (dir / "data").string() +
                                "' '" ORVA_EXE "' " + args + " >'" + outFile + "' 2>'" + errFile + "' </dev/null";
        RunResult r;
        const int status = std::system(cmd.c_str());
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        orva::io::readFile(outFile, r.out);
        orva::io::readFile(errFile, r.err);
        return r;
    }

    // A scene file with one cube (no spawn point) and a hidden sphere.
    std::string writeScene(const std::string& name) {
        orva::Scene scene;
        orva::SceneObject* cube = scene.createObject(orva::ObjectType::Mesh, "Crate");
        *cube->mesh = orva::primitives::makeCube(1.0f);
        orva::SceneObject* hidden = scene.createObject(orva::ObjectType::Mesh, "Hidden Ball");
        *hidden->mesh = orva::primitives::makeCube(2.0f);
        hidden->transform.position = {0, 0, 40};
        hidden->visible = false;
        const std::string file = path(name);
        std::string error;
        EXPECT_TRUE(orva::io::saveOrvaProject(file, scene, orva::io::ProjectViewState{}, &error)) << error;
        return file;
    }
};

std::string readText(const fs::path& path) {
    std::string text;
    EXPECT_TRUE(orva::io::readFile(path.string(), text)) << path;
    return text;
}

} // namespace

TEST_F(CommandLineRun, HelpListsEveryOption) {
    const RunResult r = run("--help");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    for (const char* option : {"--screenshot", "--frames", "--build-web", "--export", "--serve", "--lan", "--help"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option << " missing from\n" << r.out;
}

// The default scene has a Spawn Point; a scene file without one gets the suffix of the status line
// and its stem as the title.
TEST_F(CommandLineRun, BuildWebOfTheDefaultSceneAndOfAFile) {
    const std::string out = path("default web");
    RunResult r = run("--build-web '" + out + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Built web game in " + out + "\n");
    EXPECT_EQ(r.err, "");
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(out))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 10u);
    EXPECT_EQ(json::parse(readText(fs::path(out) / "game.json"))["title"], "ORVA Game");

    const std::string scene = writeScene("Crate Level.orva");
    const std::string level = path("level");
    r = run("'" + scene + "' --build-web '" + level + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Built web game in " + level + " (no Spawn Point in the scene: using a default start position)\n");
    const json game = json::parse(readText(fs::path(level) / "game.json"));
    EXPECT_EQ(game["title"], "Crate Level");
    EXPECT_EQ(game["spawn"]["position"], json::array({0.0, 1.0, 3.5})) << "the hidden object does not count";
    EXPECT_NE(readText(fs::path(level) / "index.html").find("<title>Crate Level</title>"), std::string::npos);

    // The built scene holds the visible objects only; the Khronos validator and three.js accept it.
    std::string error;
    const json reports = orva::test::inspectGlbFiles({level + "/scene.glb"}, &error);
    ASSERT_EQ(reports.size(), 1u) << error;
    EXPECT_EQ(reports[0]["validation"]["numErrors"], 0) << reports[0]["validation"].dump(1);
    ASSERT_TRUE(reports[0].contains("scene")) << reports[0].value("loadError", "");
    const json& children = reports[0]["scene"]["children"];
    ASSERT_EQ(children.size(), 1u) << children.dump(1);
    EXPECT_EQ(children[0]["name"], "Crate");
}

// --export takes the whole scene, hidden objects included.
TEST_F(CommandLineRun, ExportGlbAndObj) {
    const std::string scene = writeScene("level.orva");
    const std::string glb = path("out.GLB");
    RunResult r = run("--export '" + glb + "' '" + scene + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Exported " + glb + "\n");
    EXPECT_EQ(r.err, "");
    std::string error;
    const json reports = orva::test::inspectGlbFiles({glb}, &error);
    ASSERT_EQ(reports.size(), 1u) << error;
    EXPECT_EQ(reports[0]["validation"]["numErrors"], 0) << reports[0]["validation"].dump(1);
    ASSERT_TRUE(reports[0].contains("scene")) << reports[0].value("loadError", "");
    EXPECT_EQ(reports[0]["scene"]["children"].size(), 2u);

    const std::string obj = path("out.obj");
    r = run("--export '" + obj + "' '" + scene + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Exported " + obj + "\n");
    const std::string text = readText(obj);
    EXPECT_NE(text.find("o Crate"), std::string::npos) << text.substr(0, 300);
    EXPECT_NE(text.find("o Hidden_Ball"), std::string::npos) << "hidden objects are exported too";

    // Without an input: the default scene.
    r = run("--export '" + path("default.glb") + "'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("default.glb")));

    // A model as input: imported into an empty scene, which makes the program a converter.
    const std::string converted = path("cube.glb");
    r = run("--export '" + converted + "' '" + std::string(ORVA_TEST_DATA_DIR) + "/import/flat_cube.obj'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Exported " + converted + "\n");
    const json cube = orva::test::inspectGlbFiles({converted}, &error);
    ASSERT_EQ(cube.size(), 1u) << error;
    EXPECT_EQ(cube[0]["validation"]["numErrors"], 0) << cube[0]["validation"].dump(1);
}

// Each bad input: status 1, nothing on standard output, one line on standard error, nothing
// written.
TEST_F(CommandLineRun, BadInputIsOneMessageAndStatusOne) {
    const std::string scene = writeScene("level.orva");
    ASSERT_TRUE(orva::io::writeFileAtomic(path("broken.orva"), "{ not json", 10));
    ASSERT_TRUE(orva::io::writeFileAtomic(path("model.fbx"), "x", 1));
    const std::string missing = path("missing.orva");
    struct Case {
        std::string args;
        std::string message; // the start of the standard-error line
    };
    const Case cases[] = {
        {"--build-web '" + path("w1") + "' '" + missing + "'", "ORVA 3D Studio: Cannot open file"},
        {"--build-web '" + path("w2") + "' '" + path("broken.orva") + "'", "ORVA 3D Studio: "},
        {"--build-web '" + path("w3") + "' '" + path("model.fbx") + "'",
         "ORVA 3D Studio: Cannot import " + path("model.fbx") + ": "},
        {"--export '" + path("w4.glb") + "' '" + missing + "'", "ORVA 3D Studio: Cannot open file"},
        {"--export '" + path("w5.stl") + "' '" + scene + "'",
         "ORVA 3D Studio: Cannot export to " + path("w5.stl") + ": the file name must end in .glb or .obj."},
        {"--export '" + path("no-folder/w6.glb") + "'", "ORVA 3D Studio: Export failed: "},
        {"--build-web", "ORVA 3D Studio: --build-web needs an output folder. See --help."},
        {"--build-web '" + path("w7") + "' --export '" + path("w7.glb") + "'",
         "ORVA 3D Studio: Use only one of --build-web, --export and --serve. See --help."},
        {"--serve '" + path("w8") + "'", "ORVA 3D Studio: Cannot serve " + path("w8") + ": it is not a folder."},
    };
    for (const Case& c : cases) {
        const RunResult r = run(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << c.args << "\n" << r.err;
        EXPECT_EQ(countLines(r.err), 1u) << c.args << "\n" << r.err;
    }
    for (const char* name : {"w1", "w2", "w3", "w4.glb", "w5.stl", "w7", "w7.glb", "w8"})
        EXPECT_FALSE(fs::exists(path(name))) << name;
}

// --serve prints its address, answers over HTTP and ends with status 0 on SIGINT.
TEST_F(CommandLineRun, ServeUntilInterrupted) {
    ASSERT_TRUE(orva::io::writeFileAtomic(path("index.html"), "<p>hello</p>", 12));
    const std::string outFile = path("serve.txt");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        const int fd = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        const std::string folder = dir.string();
        execl(ORVA_EXE, ORVA_EXE, "--serve", folder.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string out;
    for (int i = 0; i < 200 && out.find('\n') == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        orva::io::readFile(outFile, out);
    }
    std::smatch match;
    const std::regex line("^Serving (.*) at http://127\\.0\\.0\\.1:([0-9]+)/\n$");
    const bool printed = std::regex_match(out, match, line);
    std::string body;
    if (printed) {
        EXPECT_EQ(match[1].str(), dir.string());
        const int port = std::stoi(match[2].str());
        EXPECT_GE(port, 8080);
        EXPECT_LE(port, 8099);
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(port));
        timeval timeout{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            const std::string request = "GET / HTTP/1.1\r\nHost: x\r\n\r\n";
            send(fd, request.data(), request.size(), MSG_NOSIGNAL);
            char buffer[4096];
            for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;)
                body.append(buffer, size_t(n));
        }
        close(fd);
    }
    kill(pid, SIGINT);
    int status = 0;
    pid_t done = 0;
    for (int i = 0; i < 100 && done == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        done = waitpid(pid, &status, WNOHANG);
    }
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the server did not stop on SIGINT";
    }
    ASSERT_TRUE(printed) << out;
    EXPECT_EQ(body.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << body;
    EXPECT_NE(body.find("<p>hello</p>"), std::string::npos) << body;
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
