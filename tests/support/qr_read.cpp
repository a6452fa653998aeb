#include "support/qr_read.h"

#include "support/shell.h"

#include <sstream>

namespace orva::test {

std::vector<std::string> readQrCodes(const std::string& imagePath, std::string* error) {
    // Only QR codes; --raw prints each code's text on its own line and nothing else.
    std::string output, messages;
    const int code = runShell("zbarimg --quiet --raw --nodbus -Sdisable -Sqrcode.enable " + shellQuoted(imagePath),
                              &output, &messages);
    // zbarimg exits with 4 when the image holds no code.
    if (code == 4)
        return {};
    if (code != 0) {
        *error = "zbarimg failed (exit " + std::to_string(code) + "; tools/setup.sh installs zbar-tools): " +
                 messages;
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
