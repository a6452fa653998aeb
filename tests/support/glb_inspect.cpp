#include "support/glb_inspect.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace orva::test {

namespace {

// One shell word, whatever the path holds.
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

nlohmann::json inspectGlbFiles(const std::vector<std::string>& paths, std::string* error) {
    const std::string node = ORVA_NODE_EXECUTABLE;
    if (node.empty() || node.find("NOTFOUND") != std::string::npos) {
        *error = "node was not found when the build was configured (tools/setup.sh installs it)";
        return nlohmann::json::array();
    }
    const std::filesystem::path stderrPath =
        std::filesystem::temp_directory_path() / ("orva_inspect_glb_" + std::to_string(::getpid()) + ".log");
    std::string command = quoted(node) + " " + quoted(ORVA_INSPECT_GLB_SCRIPT);
    for (const std::string& path : paths)
        command += " " + quoted(path);
    command += " 2>" + quoted(stderrPath.string());

    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        *error = "cannot run " + command;
        return nlohmann::json::array();
    }
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
        output.append(buffer, n);
    const int status = ::pclose(pipe);

    std::stringstream log;
    log << std::ifstream(stderrPath).rdbuf();
    std::error_code ec;
    std::filesystem::remove(stderrPath, ec);

    nlohmann::json reports = nlohmann::json::parse(output, nullptr, false);
    if (status != 0 || !reports.is_array() || reports.size() != paths.size()) {
        *error = "inspect_glb.mjs failed (status " + std::to_string(status) + "; run npm ci in the repository root " +
                 "if gltf-validator or three is missing):\n" + log.str();
        return nlohmann::json::array();
    }
    return reports;
}

} // namespace orva::test
