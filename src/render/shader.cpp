#include "render/shader.h"

#include <vector>

#include <glm/gtc/type_ptr.hpp>

#include "render/gl_functions.h"

namespace orva {

using namespace gl;

namespace {

std::string infoLog(GLuint object, bool isProgram) {
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(size_t(length > 1 ? length : 1), '\0');
    if (isProgram)
        glGetProgramInfoLog(object, GLsizei(log.size()), nullptr, log.data());
    else
        glGetShaderInfoLog(object, GLsizei(log.size()), nullptr, log.data());
    return std::string(log.data());
}

// Returns the compiled shader, or 0 after filling `error`.
GLuint compile(GLenum stage, const char* source, const char* label, const char* stageName, std::string* error) {
    GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE)
        return shader;
    if (error)
        *error = std::string(label) + " (" + stageName + "): " + infoLog(shader, false);
    glDeleteShader(shader);
    return 0;
}

} // namespace

Shader::~Shader() { destroy(); }

bool Shader::create(const char* label, const char* vertexSource, const char* fragmentSource, std::string* error) {
    destroy();

    GLuint vs = compile(GL_VERTEX_SHADER, vertexSource, label, "vertex", error);
    if (!vs)
        return false;
    GLuint fs = compile(GL_FRAGMENT_SHADER, fragmentSource, label, "fragment", error);
    if (!fs) {
        glDeleteShader(vs);
        return false;
    }

    program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    // Deleting now only flags them: they go with the program.
    glDeleteShader(vs);
    glDeleteShader(fs);

    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok == GL_TRUE)
        return true;
    if (error)
        *error = std::string(label) + " (link): " + infoLog(program, true);
    glDeleteProgram(program);
    program = 0;
    locations.clear();
    return false;
}

void Shader::destroy() {
    if (program != 0 && glDeleteProgram)
        glDeleteProgram(program);
    program = 0;
    locations.clear();
}

void Shader::bind() const { glUseProgram(program); }

int Shader::location(std::string_view name) {
    auto it = locations.find(name);
    if (it != locations.end())
        return it->second;
    std::string key(name);
    GLint loc = glGetUniformLocation(program, key.c_str());
    locations.emplace(std::move(key), loc);
    return loc;
}

void Shader::set(std::string_view name, int value) { glUniform1i(location(name), value); }
void Shader::set(std::string_view name, float value) { glUniform1f(location(name), value); }
void Shader::set(std::string_view name, const glm::vec2& v) { glUniform2f(location(name), v.x, v.y); }
void Shader::set(std::string_view name, const glm::vec3& v) { glUniform3f(location(name), v.x, v.y, v.z); }
void Shader::set(std::string_view name, const glm::vec4& v) { glUniform4f(location(name), v.x, v.y, v.z, v.w); }
void Shader::set(std::string_view name, const glm::mat3& m) {
    glUniformMatrix3fv(location(name), 1, GL_FALSE, glm::value_ptr(m));
}
void Shader::set(std::string_view name, const glm::mat4& m) {
    glUniformMatrix4fv(location(name), 1, GL_FALSE, glm::value_ptr(m));
}

} // namespace orva
