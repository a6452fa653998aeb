#pragma once

#include <string>

namespace orva {

// What the command line asked for; filled by `parseLaunchOptions`, read by `Application::run`.
struct LaunchOptions {
    std::string path;           // scene, project or other file to open once the editor is up
    std::string screenshotPath; // when non-empty, the run ends after writing a screenshot here
    int frames = 30;            // 1-based number of the captured frame; never below 1
};

// Reads the arguments after the program name left to right, each compared as a whole:
// "--screenshot PATH", "--frames N" (atoi; anything below 2 gives 1), and any other non-empty
// argument not starting with '-' as the path to open (the last one wins). Everything else,
// including an option missing its value and "--opt=value" forms, is ignored silently.
LaunchOptions parseLaunchOptions(int argc, const char* const* argv);

} // namespace orva
