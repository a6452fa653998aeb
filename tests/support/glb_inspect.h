#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace orva::test {

// Runs tests/js/inspect_glb.mjs under node on the given GLB files: the Khronos glTF validator and
// three.js's GLTFLoader, as the web player and other tools will read them. Returns one report per
// file, in order (see the script for the fields), or an empty array with the reason in `error`
// when node, the npm packages or the script are missing or fail.
nlohmann::json inspectGlbFiles(const std::vector<std::string>& paths, std::string* error);

} // namespace orva::test
