#pragma once

#include "app/launch_options.h"

#include <cstdio>

// The window-less jobs of the command line: no SDL video, no GL. Each prints one result line on
// `out` and its failure as one line on `err` ("ORVA 3D Studio: " + the message).
namespace orva {

// The usage text printed by --help, one option per line, ending with a line break.
const char* commandLineUsage();

// True when `options` ask for a task (or hold a command-line error) instead of the editor.
bool hasCommandLineTask(const LaunchOptions& options);

// Runs the task of `options` and returns the process exit status: 0 on success, 1 on failure.
// --serve returns only after SIGINT or SIGTERM.
int runCommandLineTask(const LaunchOptions& options, std::FILE* out = stdout, std::FILE* err = stderr);

} // namespace orva
