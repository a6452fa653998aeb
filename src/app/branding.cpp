#include "app/branding.h"

#include <algorithm>
#include <cstring>

#include <SDL3/SDL.h>

#include "io/image.h"
#include "render/gl_functions.h"

namespace orva {

namespace {

// Decodes the table entry named `name` to tightly packed RGBA, top row first.
bool decodeBrandingFile(std::string_view name, io::RgbaImage& image) {
    size_t count = 0;
    const BrandingFile* files = brandingFiles(&count);
    for (size_t i = 0; i < count; ++i) {
        if (name == files[i].name)
            return io::decodeImage(files[i].data, files[i].size, image) && image.width > 0 && image.height > 0;
    }
    return false;
}

BrandImage uploadImage(std::string_view name) {
    BrandImage result;
    io::RgbaImage image;
    if (!gl::glGenTextures || !decodeBrandingFile(name, image))
        return result;

    GLint previousAlignment = 4;
    gl::glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    GLuint texture = 0;
    gl::glGenTextures(1, &texture);
    gl::glBindTexture(GL_TEXTURE_2D, texture);
    gl::glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl::glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image.pixels.data());
    gl::glGenerateMipmap(GL_TEXTURE_2D);
    gl::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    gl::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl::glBindTexture(GL_TEXTURE_2D, 0);
    gl::glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);

    result.texture = texture;
    result.width = image.width;
    result.height = image.height;
    return result;
}

void release(BrandImage& image) {
    if (image.texture != 0 && gl::glDeleteTextures) {
        const GLuint texture = image.texture;
        gl::glDeleteTextures(1, &texture);
    }
    image = BrandImage();
}

} // namespace

ImVec2 BrandImage::fit(float maxWidth, float maxHeight) const {
    if (width <= 0 || height <= 0)
        return ImVec2(0.0f, 0.0f);
    const float s = std::max(0.0f, std::min(maxWidth / float(width), maxHeight / float(height)));
    return ImVec2(float(width) * s, float(height) * s);
}

Branding::~Branding() { unload(); }

SDL_Surface* Branding::loadSurface(std::string_view name) {
    io::RgbaImage image;
    if (!decodeBrandingFile(name, image))
        return nullptr;
    // RGBA32 is the format whose bytes are R, G, B, A in memory on any byte order.
    SDL_Surface* surface = SDL_CreateSurface(image.width, image.height, SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return nullptr;
    const size_t rowBytes = size_t(image.width) * 4;
    auto* dst = static_cast<unsigned char*>(surface->pixels);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(dst + size_t(y) * size_t(surface->pitch), image.pixels.data() + size_t(y) * rowBytes, rowBytes);
    return surface;
}

bool Branding::load() {
    unload();
    icon = uploadImage("icon_256.png");
    wordmark = uploadImage("wordmark.png");
    splash = uploadImage("logo_with_text.png");
    return icon.texture != 0 && wordmark.texture != 0 && splash.texture != 0;
}

void Branding::unload() {
    release(icon);
    release(wordmark);
    release(splash);
}

} // namespace orva
