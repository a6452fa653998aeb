#include "support/glb_inspect.h"

#include "support/shell.h"

namespace orva::test {

nlohmann::json inspectGlbFiles(const std::vector<std::string>& paths, std::string* error) {
    const std::string node = ORVA_NODE_EXECUTABLE;
    if (node.empty() || node.find("NOTFOUND") != std::string::npos) {
        *error = "node was not found when the build was configured (tools/setup.sh installs it)";
        return nlohmann::json::array();
    }
    std::string command = shellQuoted(node) + " " + shellQuoted(ORVA_INSPECT_GLB_SCRIPT);
    for (const std::string& path : paths)
        command += " " + shellQuoted(path);
    std::string output, log;
    const int status = runShell(command, &output, &log);

    nlohmann::json reports = nlohmann::json::parse(output, nullptr, false);
    if (status != 0 || !reports.is_array() || reports.size() != paths.size()) {
        *error = "inspect_glb.mjs failed (status " + std::to_string(status) + "; run npm ci in the repository root " +
                 "if gltf-validator or three is missing):\n" + log;
        return nlohmann::json::array();
    }
    return reports;
}

} // namespace orva::test
