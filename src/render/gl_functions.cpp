#include "render/gl_functions.h"

namespace orva::gl {

#define ORVA_GL_DEFINE(type, name) type name = nullptr;
ORVA_GL_FUNCTIONS(ORVA_GL_DEFINE)
#undef ORVA_GL_DEFINE

bool loadFunctions(LoadProc loader, const char** missing) {
#define ORVA_GL_LOAD(type, name)                                                                                       \
    name = reinterpret_cast<type>(loader(#name));                                                                      \
    if (!name) {                                                                                                       \
        if (missing)                                                                                                   \
            *missing = #name;                                                                                          \
        return false;                                                                                                  \
    }
    ORVA_GL_FUNCTIONS(ORVA_GL_LOAD)
#undef ORVA_GL_LOAD
    return true;
}

int functionCount() {
#define ORVA_GL_COUNT(type, name) +1
    return 0 ORVA_GL_FUNCTIONS(ORVA_GL_COUNT);
#undef ORVA_GL_COUNT
}

} // namespace orva::gl
