#pragma once

// The program's own table of OpenGL 3.3 core entry points. Every GL call in the program goes
// through these pointers; they are null until `loadFunctions` fills them once, at start-up,
// while the context is current.
#include <GL/glcorearb.h>

namespace orva::gl {

// The entry points in load order: X(pointer type, name).
#define ORVA_GL_FUNCTIONS(X)                                                                                           \
    X(PFNGLGETERRORPROC, glGetError)                                                                                   \
    X(PFNGLGETSTRINGPROC, glGetString)                                                                                 \
    X(PFNGLGETINTEGERVPROC, glGetIntegerv)                                                                             \
    X(PFNGLVIEWPORTPROC, glViewport)                                                                                   \
    X(PFNGLCLEARCOLORPROC, glClearColor)                                                                               \
    X(PFNGLCLEARDEPTHPROC, glClearDepth)                                                                               \
    X(PFNGLCLEARPROC, glClear)                                                                                         \
    X(PFNGLENABLEPROC, glEnable)                                                                                       \
    X(PFNGLDISABLEPROC, glDisable)                                                                                     \
    X(PFNGLBLENDFUNCPROC, glBlendFunc)                                                                                 \
    X(PFNGLBLENDFUNCSEPARATEPROC, glBlendFuncSeparate)                                                                 \
    X(PFNGLDEPTHFUNCPROC, glDepthFunc)                                                                                 \
    X(PFNGLDEPTHMASKPROC, glDepthMask)                                                                                 \
    X(PFNGLCOLORMASKPROC, glColorMask)                                                                                 \
    X(PFNGLPOLYGONOFFSETPROC, glPolygonOffset)                                                                         \
    X(PFNGLCULLFACEPROC, glCullFace)                                                                                   \
    X(PFNGLLINEWIDTHPROC, glLineWidth)                                                                                 \
    X(PFNGLPIXELSTOREIPROC, glPixelStorei)                                                                             \
    X(PFNGLREADPIXELSPROC, glReadPixels)                                                                               \
    X(PFNGLGENVERTEXARRAYSPROC, glGenVertexArrays)                                                                     \
    X(PFNGLDELETEVERTEXARRAYSPROC, glDeleteVertexArrays)                                                               \
    X(PFNGLBINDVERTEXARRAYPROC, glBindVertexArray)                                                                     \
    X(PFNGLGENBUFFERSPROC, glGenBuffers)                                                                               \
    X(PFNGLDELETEBUFFERSPROC, glDeleteBuffers)                                                                         \
    X(PFNGLBINDBUFFERPROC, glBindBuffer)                                                                               \
    X(PFNGLBUFFERDATAPROC, glBufferData)                                                                               \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray)                                                     \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, glDisableVertexAttribArray)                                                   \
    X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer)                                                             \
    X(PFNGLVERTEXATTRIB4FPROC, glVertexAttrib4f)                                                                       \
    X(PFNGLDRAWARRAYSPROC, glDrawArrays)                                                                               \
    X(PFNGLDRAWELEMENTSPROC, glDrawElements)                                                                           \
    X(PFNGLCREATESHADERPROC, glCreateShader)                                                                           \
    X(PFNGLDELETESHADERPROC, glDeleteShader)                                                                           \
    X(PFNGLSHADERSOURCEPROC, glShaderSource)                                                                           \
    X(PFNGLCOMPILESHADERPROC, glCompileShader)                                                                         \
    X(PFNGLGETSHADERIVPROC, glGetShaderiv)                                                                             \
    X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog)                                                                   \
    X(PFNGLCREATEPROGRAMPROC, glCreateProgram)                                                                         \
    X(PFNGLDELETEPROGRAMPROC, glDeleteProgram)                                                                         \
    X(PFNGLATTACHSHADERPROC, glAttachShader)                                                                           \
    X(PFNGLBINDATTRIBLOCATIONPROC, glBindAttribLocation)                                                               \
    X(PFNGLLINKPROGRAMPROC, glLinkProgram)                                                                             \
    X(PFNGLGETPROGRAMIVPROC, glGetProgramiv)                                                                           \
    X(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog)                                                                 \
    X(PFNGLUSEPROGRAMPROC, glUseProgram)                                                                               \
    X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation)                                                               \
    X(PFNGLUNIFORM1IPROC, glUniform1i)                                                                                 \
    X(PFNGLUNIFORM1FPROC, glUniform1f)                                                                                 \
    X(PFNGLUNIFORM2FPROC, glUniform2f)                                                                                 \
    X(PFNGLUNIFORM3FPROC, glUniform3f)                                                                                 \
    X(PFNGLUNIFORM4FPROC, glUniform4f)                                                                                 \
    X(PFNGLUNIFORMMATRIX3FVPROC, glUniformMatrix3fv)                                                                   \
    X(PFNGLUNIFORMMATRIX4FVPROC, glUniformMatrix4fv)                                                                   \
    X(PFNGLGENTEXTURESPROC, glGenTextures)                                                                             \
    X(PFNGLDELETETEXTURESPROC, glDeleteTextures)                                                                       \
    X(PFNGLBINDTEXTUREPROC, glBindTexture)                                                                             \
    X(PFNGLACTIVETEXTUREPROC, glActiveTexture)                                                                         \
    X(PFNGLGENERATEMIPMAPPROC, glGenerateMipmap)                                                                       \
    X(PFNGLTEXPARAMETERIPROC, glTexParameteri)                                                                         \
    X(PFNGLTEXIMAGE2DPROC, glTexImage2D)                                                                               \
    X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers)                                                                     \
    X(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers)                                                               \
    X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer)                                                                     \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, glFramebufferTexture2D)                                                           \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, glFramebufferRenderbuffer)                                                     \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus)                                                       \
    X(PFNGLBLITFRAMEBUFFERPROC, glBlitFramebuffer)                                                                     \
    X(PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers)                                                                   \
    X(PFNGLDELETERENDERBUFFERSPROC, glDeleteRenderbuffers)                                                             \
    X(PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer)                                                                   \
    X(PFNGLRENDERBUFFERSTORAGEPROC, glRenderbufferStorage)                                                             \
    X(PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC, glRenderbufferStorageMultisample)

#define ORVA_GL_DECLARE(type, name) extern type name;
ORVA_GL_FUNCTIONS(ORVA_GL_DECLARE)
#undef ORVA_GL_DECLARE

// Returns the address of a GL entry point, or null when the driver does not have it.
using LoadProc = void* (*)(const char* name);

// Fills the table in load order. At the first name the loader cannot resolve it stops, stores
// that name (a static string) in `missing` when given and returns false; pointers loaded before
// it keep their values and the later ones stay null. There is no version or extension check.
bool loadFunctions(LoadProc loader, const char** missing = nullptr);

// Number of entry points in the table.
int functionCount();

} // namespace orva::gl
