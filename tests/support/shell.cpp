#include "support/shell.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace orva::test {

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int runShell(const std::string& command, std::string* output, std::string* errors) {
    output->clear();
    // Standard error goes to a file of its own, read once the command has ended.
    const std::filesystem::path errorFile =
        std::filesystem::temp_directory_path() / ("orva_test_stderr_" + std::to_string(::getpid()) + ".log");
    const std::string full = errors ? "{ " + command + "; } 2>" + shellQuoted(errorFile.string()) : command;
    FILE* pipe = ::popen(full.c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
        output->append(buffer, n);
    const int status = ::pclose(pipe);
    if (errors) {
        std::stringstream text;
        text << std::ifstream(errorFile).rdbuf();
        *errors = text.str();
        std::error_code ignored;
        std::filesystem::remove(errorFile, ignored);
    }
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace orva::test
