#include "app/launch_options.h"

#include <cstdlib>
#include <cstring>

namespace orva {

LaunchOptions parseLaunchOptions(int argc, const char* const* argv) {
    LaunchOptions options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg)
            continue;
        const bool hasValue = i + 1 < argc && argv[i + 1];
        if (std::strcmp(arg, "--screenshot") == 0 && hasValue) {
            options.screenshotPath = argv[++i];
        } else if (std::strcmp(arg, "--frames") == 0 && hasValue) {
            const int n = std::atoi(argv[++i]);
            options.frames = n < 2 ? 1 : n;
        } else if (arg[0] != '\0' && arg[0] != '-') {
            options.path = arg;
        }
    }
    return options;
}

} // namespace orva
