#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <imgui.h>

// QR codes for the address of a running web game, so that a phone camera can open it: the modules
// come from libqrencode, the editor draws them with the ImGui draw list and the command line prints
// them as text.
namespace orva {

// The light margin a reader needs around the symbol, in modules, on every side.
inline constexpr int kQrQuietZone = 4;

struct QrCode {
    int size = 0;              // modules per side, without the quiet zone; 0 for no code
    std::vector<uint8_t> dark; // size * size, row by row from the top; 1 for a dark module

    bool empty() const { return size == 0; }
    // False outside the symbol, so the quiet zone reads as light.
    bool isDark(int x, int y) const {
        return x >= 0 && y >= 0 && x < size && y < size && dark[static_cast<size_t>(y) * size + x] != 0;
    }
};

// Encodes `text` as bytes with error correction level M, in the smallest version that holds it.
// Empty when the text is empty, too long for any version or libqrencode fails.
QrCode encodeQrCode(std::string_view text);

// Whole pixels per module for a code of `size` modules drawn with its quiet zone in `width` pixels:
// as many as fit, kept within [minPixels, maxPixels].
int qrModulePixels(int size, float width, int minPixels, int maxPixels);

// Draws the code, quiet zone included, as a white square with black modules whose top-left corner is
// `origin` rounded down to whole pixels; `modulePixels` pixels a module. Returns the square's side.
float drawQrCode(ImDrawList* drawList, ImVec2 origin, int modulePixels, const QrCode& code);

// The side in pixels of the code drawn with its quiet zone at `modulePixels` pixels a module.
float qrCodeSide(const QrCode& code, int modulePixels);

// An ImGui item at the cursor: the code with its quiet zone, `modulePixels` pixels a module.
// Nothing when the code is empty.
void qrCodeImage(const char* id, const QrCode& code, int modulePixels);

// The code as text for a terminal, two module rows a line with the Unicode half blocks, quiet zone
// included. With `ansiColours` the lines are drawn black on white whatever the terminal's colours;
// without, dark modules are spaces and light ones blocks (for light text on a dark terminal).
std::string qrCodeText(const QrCode& code, bool ansiColours);

} // namespace orva
