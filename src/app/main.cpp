#include "app/application.h"
#include "app/launch_options.h"

int main(int argc, char** argv) {
    orva::Application app;
    return app.run(orva::parseLaunchOptions(argc, argv));
}
