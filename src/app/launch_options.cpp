#include "app/launch_options.h"

#include <cstdlib>
#include <cstring>

namespace orva {

namespace {

struct TaskOption {
    const char* name;
    CommandLineTask task;
    const char* valueName; // what the option needs after it, for the error message
};

const TaskOption kTaskOptions[] = {
    {"--build-web", CommandLineTask::BuildWeb, "an output folder"},
    {"--export", CommandLineTask::Export, "an output file"},
    {"--serve", CommandLineTask::Serve, "a folder"},
};

} // namespace

LaunchOptions parseLaunchOptions(int argc, const char* const* argv) {
    LaunchOptions options;
    bool help = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg)
            continue;
        const bool hasValue = i + 1 < argc && argv[i + 1];
        const TaskOption* taskOption = nullptr;
        for (const TaskOption& t : kTaskOptions)
            if (std::strcmp(arg, t.name) == 0)
                taskOption = &t;

        if (std::strcmp(arg, "--screenshot") == 0 && hasValue) {
            options.screenshotPath = argv[++i];
        } else if (std::strcmp(arg, "--frames") == 0 && hasValue) {
            const int n = std::atoi(argv[++i]);
            options.frames = n < 2 ? 1 : n;
        } else if (std::strcmp(arg, "--help") == 0) {
            help = true;
        } else if (std::strcmp(arg, "--lan") == 0) {
            options.allowLan = true;
        } else if (taskOption) {
            if (!hasValue || argv[i + 1][0] == '\0') {
                if (options.error.empty())
                    options.error = std::string(taskOption->name) + " needs " + taskOption->valueName + ".";
                continue;
            }
            if (options.task != CommandLineTask::None && options.task != taskOption->task && options.error.empty())
                options.error = "Use only one of --build-web, --export and --serve.";
            options.task = taskOption->task;
            options.taskTarget = argv[++i];
        } else if (arg[0] != '\0' && arg[0] != '-') {
            options.path = arg;
        }
    }
    if (help) {
        options.task = CommandLineTask::Help;
        options.error.clear();
    }
    return options;
}

} // namespace orva
