#pragma once

#include <string>

namespace orva {

// A job run from the command line without opening a window (for scripts and automation).
enum class CommandLineTask {
    None,     // the normal editor run
    Help,     // print the usage text
    BuildWeb, // build the web game of `path` (or of the default scene) into `taskTarget`
    Export,   // export the whole scene of `path` (or the default scene) to the file `taskTarget`
    Serve,    // serve the folder `taskTarget` over HTTP until interrupted
};

// What the command line asked for; filled by `parseLaunchOptions`, read by `main` and
// `Application::run`.
struct LaunchOptions {
    std::string path;           // scene, project or other file to open once the editor is up;
                                // the input of --build-web and --export
    std::string screenshotPath; // when non-empty, the run ends after writing a screenshot here
    int frames = 30;            // 1-based number of the captured frame; never below 1

    CommandLineTask task = CommandLineTask::None;
    std::string taskTarget; // the folder or file named right after the task's option
    bool allowLan = false;  // --lan: serve to every IPv4 interface, not only this machine
    std::string error;      // non-empty: the task options make no sense (one sentence)
};

// Reads the arguments after the program name left to right, each compared as a whole:
// "--screenshot PATH", "--frames N" (atoi; anything below 2 gives 1), and any other non-empty
// argument not starting with '-' as the path to open (the last one wins). Everything else,
// including an option missing its value and "--opt=value" forms, is ignored silently.
// The window-less tasks: "--help" (wins over everything else), "--build-web FOLDER",
// "--export FILE", "--serve FOLDER" and the flag "--lan". A task option missing its value, or two
// different task options, fill `error` instead, so that a script never gets the editor by mistake.
LaunchOptions parseLaunchOptions(int argc, const char* const* argv);

} // namespace orva
