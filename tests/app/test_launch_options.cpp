#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/launch_options.h"

namespace {

struct Case {
    const char* what;
    std::vector<const char*> args; // after the program name
    std::string path;
    std::string screenshot;
    int frames;
};

} // namespace

TEST(LaunchOptions, CommandLineRules) {
    const Case cases[] = {
        {"nothing", {}, "", "", 30},
        {"screenshot with default frame", {"--screenshot", "out.bmp"}, "", "out.bmp", 30},
        {"frames 0 captures the first frame", {"--screenshot", "s.bmp", "--frames", "0"}, "", "s.bmp", 1},
        {"negative frames", {"--frames", "-3"}, "", "", 1},
        {"non-number frames", {"--frames", "abc"}, "", "", 1},
        {"frames 1", {"--frames", "1"}, "", "", 1},
        {"frames 2 kept", {"--frames", "2"}, "", "", 2},
        {"frames with trailing junk uses atoi", {"--frames", "12x"}, "", "", 12},
        {"frames without screenshot still parsed", {"--frames", "5"}, "", "", 5},
        {"png extension kept as given", {"--screenshot", "shot.png"}, "", "shot.png", 30},
        {"screenshot as the last argument is ignored", {"scene.orva", "--screenshot"}, "scene.orva", "", 30},
        {"frames as the last argument is ignored", {"--frames"}, "", "", 30},
        {"last positional wins", {"a.orva", "b.orva"}, "b.orva", "", 30},
        {"unknown options ignored", {"-v", "--verbose", "x.obj"}, "x.obj", "", 30},
        {"joined value not recognised", {"--frames=5", "--screenshot=a.bmp"}, "", "", 30},
        {"empty argument ignored", {"", "p.orva", ""}, "p.orva", "", 30},
        {"option value may start with a dash", {"--screenshot", "-odd.bmp"}, "", "-odd.bmp", 30},
        {"value consumed, not taken as path", {"--screenshot", "s.bmp", "scene.orva"}, "scene.orva", "s.bmp", 30},
        {"repeated screenshot: last wins", {"--screenshot", "a.bmp", "--screenshot", "b.bmp"}, "", "b.bmp", 30},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"orva"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const orva::LaunchOptions o = orva::parseLaunchOptions(int(argv.size()), argv.data());
        EXPECT_EQ(o.path, c.path) << c.what;
        EXPECT_EQ(o.screenshotPath, c.screenshot) << c.what;
        EXPECT_EQ(o.frames, c.frames) << c.what;
    }
}

namespace {

struct TaskCase {
    const char* what;
    std::vector<const char*> args;
    orva::CommandLineTask task;
    std::string target;
    std::string path;
    bool lan;
    std::string error;
};

} // namespace

TEST(LaunchOptions, WindowLessTasks) {
    using T = orva::CommandLineTask;
    const TaskCase cases[] = {
        {"none", {"scene.orva"}, T::None, "", "scene.orva", false, ""},
        {"build of the default scene", {"--build-web", "out"}, T::BuildWeb, "out", "", false, ""},
        {"build of a scene file", {"--build-web", "out", "level.orva"}, T::BuildWeb, "out", "level.orva", false, ""},
        {"scene before the option", {"level.orva", "--build-web", "out"}, T::BuildWeb, "out", "level.orva", false, ""},
        {"export", {"--export", "a.glb", "in.orva"}, T::Export, "a.glb", "in.orva", false, ""},
        {"serve", {"--serve", "site"}, T::Serve, "site", "", false, ""},
        {"serve to the network", {"--lan", "--serve", "site"}, T::Serve, "site", "", true, ""},
        {"same task twice: last wins", {"--serve", "a", "--serve", "b"}, T::Serve, "b", "", false, ""},
        {"help", {"--help"}, T::Help, "", "", false, ""},
        {"help wins over a task", {"--build-web", "out", "--help"}, T::Help, "out", "", false, ""},
        {"a task value may start with a dash", {"--export", "-x.glb"}, T::Export, "-x.glb", "", false, ""},
        {"help wins over a missing value", {"--help", "--export"}, T::Help, "", "", false, ""},
        {"missing folder", {"--build-web"}, T::None, "", "", false, "--build-web needs an output folder."},
        {"empty folder", {"--serve", ""}, T::None, "", "", false, "--serve needs a folder."},
        {"missing file", {"in.orva", "--export"}, T::None, "", "in.orva", false, "--export needs an output file."},
        {"two different tasks",
         {"--build-web", "out", "--serve", "out"},
         T::Serve,
         "out",
         "",
         false,
         "Use only one of --build-web, --export and --serve."},
        {"joined value not recognised", {"--build-web=out"}, T::None, "", "", false, ""},
    };
    for (const TaskCase& c : cases) {
        std::vector<const char*> argv{"orva"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const orva::LaunchOptions o = orva::parseLaunchOptions(int(argv.size()), argv.data());
        EXPECT_EQ(o.task, c.task) << c.what;
        EXPECT_EQ(o.taskTarget, c.target) << c.what;
        EXPECT_EQ(o.path, c.path) << c.what;
        EXPECT_EQ(o.allowLan, c.lan) << c.what;
        EXPECT_EQ(o.error, c.error) << c.what;
    }
}
