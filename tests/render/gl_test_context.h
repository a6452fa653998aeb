#pragma once

#include <string>

namespace orva::test {

// Creates (once per process) a hidden SDL window with an OpenGL 3.3 core context, makes it
// current and loads the GL function table (again on every call, so a test that filled the
// table with fakes cannot leak them into the next). Needs a display: the test script runs
// the suite under Xvfb, where Mesa's llvmpipe provides GL.
bool ensureGlContext(std::string* error);

} // namespace orva::test
