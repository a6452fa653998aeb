#pragma once

#include <string>
#include <vector>

namespace orva::test {

// Reads every QR code in an image file (BMP or PNG) with zbarimg from Debian's zbar-tools, as a
// phone's camera app would: the texts of the codes found, in zbar's order. Empty with the reason
// in `error` when zbarimg is missing or fails; empty without an error when it finds no code.
std::vector<std::string> readQrCodes(const std::string& imagePath, std::string* error);

} // namespace orva::test
