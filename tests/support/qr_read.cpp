#include "support/qr_read.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace orva::test {

namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

std::vector<std::string> readQrCodes(const std::string& imagePath, std::string* error) {
    // Only QR codes; --raw prints each code's text on its own line and nothing else. Messages go to
    // a file of their own, kept for the error.
    const std::filesystem::path log =
        std::filesystem::temp_directory_path() / ("orva_zbarimg_" + std::to_string(::getpid()) + ".log");
    const std::string command = "zbarimg --quiet --raw --nodbus -Sdisable -Sqrcode.enable " + quoted(imagePath) +
                                " 2>" + quoted(log.string());
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        *error = "cannot run zbarimg";
        return {};
    }
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
        output.append(buffer, n);
    const int status = ::pclose(pipe);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::stringstream messages;
    messages << std::ifstream(log).rdbuf();
    std::error_code ignored;
    std::filesystem::remove(log, ignored);
    // zbarimg exits with 4 when the image holds no code.
    if (code == 4)
        return {};
    if (code != 0) {
        *error = "zbarimg failed (exit " + std::to_string(code) + "; tools/setup.sh installs zbar-tools): " +
                 messages.str();
        return {};
    }
    std::vector<std::string> texts;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            texts.push_back(line);
    return texts;
}

} // namespace orva::test
