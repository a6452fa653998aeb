#include "gl_test_context.h"

#include <SDL3/SDL.h>

#include "render/gl_functions.h"

namespace orva::test {

namespace {

void* getProc(const char* name) { return reinterpret_cast<void*>(SDL_GL_GetProcAddress(name)); }

} // namespace

bool ensureGlContext(std::string* error) {
    static SDL_Window* window = nullptr;
    static SDL_GLContext context = nullptr;
    if (!context) {
        if (!SDL_Init(SDL_INIT_VIDEO)) {
            *error = std::string("SDL_Init failed: ") + SDL_GetError();
            return false;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        window = SDL_CreateWindow("orva gl tests", 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window) {
            *error = std::string("SDL_CreateWindow failed: ") + SDL_GetError();
            return false;
        }
        context = SDL_GL_CreateContext(window);
        if (!context) {
            *error = std::string("SDL_GL_CreateContext failed: ") + SDL_GetError();
            return false;
        }
    }
    SDL_GL_MakeCurrent(window, context);
    const char* missing = nullptr;
    if (!gl::loadFunctions(getProc, &missing)) {
        *error = std::string("missing GL function ") + (missing ? missing : "?");
        return false;
    }
    return true;
}

} // namespace orva::test
