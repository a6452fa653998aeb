#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include <glm/glm.hpp>

namespace orva {

// A linked GL program with a cache of uniform locations. Empty (program 0) until `create`
// succeeds, and again after a failed `create` or `destroy`. Main thread, context current.
class Shader {
public:
    Shader() = default;
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    // Compiles and links a program from GLSL sources, replacing any previous one. On failure
    // fills `error` (when given) with label + " (vertex): ", " (fragment): " or " (link): "
    // followed by the driver's log, and leaves the shader empty.
    bool create(const char* label, const char* vertexSource, const char* fragmentSource, std::string* error = nullptr);
    // Deletes the program (only when the GL table is loaded) and empties the cache.
    void destroy();
    void bind() const;

    // The uniform's location, queried from GL once per name; -1 (cached too) when the program
    // has no such active uniform, which GL then ignores.
    int location(std::string_view name);

    // Each sets one uniform of the currently bound program; the caller binds first.
    void set(std::string_view name, int value);
    void set(std::string_view name, float value);
    void set(std::string_view name, const glm::vec2& value);
    void set(std::string_view name, const glm::vec3& value);
    void set(std::string_view name, const glm::vec4& value);
    void set(std::string_view name, const glm::mat3& value);
    void set(std::string_view name, const glm::mat4& value);

    uint32_t program = 0;

    // Transparent hashing so lookups with a string_view allocate nothing.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, int32_t, NameHash, std::equal_to<>> locations;
};

} // namespace orva
