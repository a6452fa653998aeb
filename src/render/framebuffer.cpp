#include "render/framebuffer.h"

#include "render/gl_functions.h"

namespace orva {

using namespace gl;

Framebuffer::~Framebuffer() { destroy(); }

void Framebuffer::destroy() {
    if (!glDeleteFramebuffers)
        return;
    if (colorTexture)
        glDeleteTextures(1, &colorTexture);
    if (colorRenderbuffer)
        glDeleteRenderbuffers(1, &colorRenderbuffer);
    if (depthRenderbuffer)
        glDeleteRenderbuffers(1, &depthRenderbuffer);
    if (fbo)
        glDeleteFramebuffers(1, &fbo);
    colorTexture = colorRenderbuffer = depthRenderbuffer = fbo = 0;
}

bool Framebuffer::create(const Desc& d) {
    destroy();
    desc = d;
    if (desc.width < 1)
        desc.width = 1;
    if (desc.height < 1)
        desc.height = 1;
    const bool multisampled = desc.samples >= 2;

    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);

    if (!multisampled) {
        const GLenum pixelFormat = desc.colorFormat == GL_R8 ? GL_RED : GL_RGBA;
        glGenTextures(1, &colorTexture);
        glBindTexture(GL_TEXTURE_2D, colorTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GLint(desc.colorFormat), desc.width, desc.height, 0, pixelFormat,
                     GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);
    } else {
        glGenRenderbuffers(1, &colorRenderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, colorRenderbuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, desc.samples, desc.colorFormat, desc.width, desc.height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorRenderbuffer);
    }

    if (desc.depth) {
        glGenRenderbuffers(1, &depthRenderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, depthRenderbuffer);
        if (multisampled)
            glRenderbufferStorageMultisample(GL_RENDERBUFFER, desc.samples, GL_DEPTH24_STENCIL8, desc.width,
                                             desc.height);
        else
            glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, desc.width, desc.height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthRenderbuffer);
    }

    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        destroy();
        return false;
    }
    return true;
}

bool Framebuffer::ensureSize(int width, int height) {
    if (fbo != 0 && width == desc.width && height == desc.height)
        return true;
    Desc d = desc;
    d.width = width;
    d.height = height;
    return create(d);
}

void Framebuffer::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glViewport(0, 0, desc.width, desc.height);
}

void Framebuffer::blitTo(const Framebuffer& destination) const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, destination.fbo);
    glBlitFramebuffer(0, 0, desc.width, desc.height, 0, 0, destination.desc.width, destination.desc.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

} // namespace orva
