#include "app/qr_code.h"

#include <algorithm>
#include <cmath>

#include <qrencode.h>

namespace orva {

QrCode encodeQrCode(std::string_view text) {
    QrCode code;
    // No version holds more than 2953 bytes, so longer text is not handed to the library at all.
    if (text.empty() || text.size() > 2953)
        return code;
    // 8-bit mode takes the bytes as they are, so any text (and any URL) reads back unchanged.
    QRcode* encoded = QRcode_encodeData(static_cast<int>(text.size()),
                                        reinterpret_cast<const unsigned char*>(text.data()), 0, QR_ECLEVEL_M);
    if (encoded == nullptr)
        return code;
    if (encoded->width > 0) {
        code.size = encoded->width;
        code.dark.resize(static_cast<size_t>(code.size) * code.size);
        // libqrencode keeps other flags in the upper bits; the lowest one is the module's colour.
        for (size_t i = 0; i < code.dark.size(); ++i)
            code.dark[i] = encoded->data[i] & 1u;
    }
    QRcode_free(encoded);
    return code;
}

int qrModulePixels(int size, float width, int minPixels, int maxPixels) {
    const int total = size + 2 * kQrQuietZone;
    const int fit = width > 0.0f ? static_cast<int>(std::floor(width / static_cast<float>(total))) : 0;
    return std::clamp(fit, minPixels, std::max(minPixels, maxPixels));
}

float drawQrCode(ImDrawList* drawList, ImVec2 origin, int modulePixels, const QrCode& code) {
    if (code.empty() || modulePixels <= 0)
        return 0.0f;
    const float m = static_cast<float>(modulePixels);
    const float side = qrCodeSide(code, modulePixels);
    // Whole pixels keep every module edge sharp, which is what a camera needs.
    const ImVec2 o(std::floor(origin.x), std::floor(origin.y));
    drawList->AddRectFilled(o, ImVec2(o.x + side, o.y + side), IM_COL32(255, 255, 255, 255));
    const float inner = m * kQrQuietZone;
    for (int y = 0; y < code.size; ++y) {
        // A run of dark modules in a row is one rectangle.
        for (int x = 0; x < code.size;) {
            if (!code.isDark(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < code.size && code.isDark(end, y))
                ++end;
            const ImVec2 a(o.x + inner + m * x, o.y + inner + m * y);
            drawList->AddRectFilled(a, ImVec2(a.x + m * (end - x), a.y + m), IM_COL32(0, 0, 0, 255));
            x = end;
        }
    }
    return side;
}

float qrCodeSide(const QrCode& code, int modulePixels) {
    return code.empty() ? 0.0f : static_cast<float>(std::max(0, modulePixels) * (code.size + 2 * kQrQuietZone));
}

void qrCodeImage(const char* id, const QrCode& code, int modulePixels) {
    const float side = qrCodeSide(code, modulePixels);
    if (side <= 0.0f)
        return;
    const ImVec2 pos = ImGui::GetCursorScreenPos();
    // An item with an id, so that it can carry a tooltip.
    ImGui::InvisibleButton(id, ImVec2(side, side));
    if (ImGui::IsItemVisible())
        drawQrCode(ImGui::GetWindowDrawList(), pos, modulePixels, code);
}

std::string qrCodeText(const QrCode& code, bool ansiColours) {
    std::string text;
    if (code.empty())
        return text;
    // "Ink" is what the block characters draw: the dark modules on a forced white background, or
    // the light ones on a dark terminal.
    const auto ink = [&](int x, int y) { return code.isDark(x, y) == ansiColours; };
    const int first = -kQrQuietZone;
    const int last = code.size + kQrQuietZone; // one past the end
    for (int y = first; y < last; y += 2) {
        if (ansiColours)
            text += "\x1b[30;47m";
        for (int x = first; x < last; ++x) {
            const bool top = ink(x, y);
            // A row below the quiet zone is light too.
            const bool bottom = y + 1 < last ? ink(x, y + 1) : !ansiColours;
            text += top ? (bottom ? "\xE2\x96\x88" : "\xE2\x96\x80") : (bottom ? "\xE2\x96\x84" : " ");
        }
        if (ansiColours)
            text += "\x1b[0m";
        text += '\n';
    }
    return text;
}

} // namespace orva
