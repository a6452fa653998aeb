#include "app/application.h"
#include "app/command_line_tasks.h"
#include "app/launch_options.h"

int main(int argc, char** argv) {
    const orva::LaunchOptions options = orva::parseLaunchOptions(argc, argv);
    // The window-less tasks run before anything of SDL is touched.
    if (orva::hasCommandLineTask(options))
        return orva::runCommandLineTask(options);
    orva::Application app;
    return app.run(options);
}
