#pragma once

#include <string_view>

#include <imgui.h>

#include "app/branding_files.h"

struct SDL_Surface;

namespace orva {

// One branding image as a GL texture, uploaded top row first (draw it with V = 0 at the top, which
// is ImGui's default).
struct BrandImage {
    unsigned int texture = 0; // GL texture name; 0 when the image is not loaded
    int width = 0;            // pixel size of the image
    int height = 0;

    // The largest size with the image's aspect ratio that fits a maxWidth x maxHeight box; it may be
    // larger than the image. (0, 0) when the image has no size or the box is empty.
    ImVec2 fit(float maxWidth, float maxHeight) const;
};

// The application icon, the wordmark and the splash artwork as GL textures, owned by the editor.
// Missing or undecodable images are silent: their BrandImage stays empty and callers skip them.
class Branding {
public:
    Branding() = default;
    ~Branding();
    Branding(const Branding&) = delete;
    Branding& operator=(const Branding&) = delete;

    // Decodes the table entry named `name` (exact match) into a new RGBA surface with bytes R, G, B, A
    // in memory order, which the caller destroys. Null for an unknown name or bytes that do not decode.
    // Needs no GL context (the window icon is made from it).
    static SDL_Surface* loadSurface(std::string_view name);

    // Uploads all three images with mipmaps; true only when all three textures exist. Needs a current
    // GL context and the loaded GL function table. Textures of an earlier load are released first.
    bool load();
    // Deletes the textures (only while the GL function table is loaded) and empties all three images.
    // Call while the GL context is current; safe to call again.
    void unload();

    BrandImage icon;     // "icon_256.png"
    BrandImage wordmark; // "wordmark.png"
    BrandImage splash;   // "logo_with_text.png"
};

} // namespace orva
