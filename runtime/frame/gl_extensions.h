// OpenGL extensions of the current context: the name test, whether a
// function is really there, and the extension entry points the runtime uses.
#pragma once

#include <string_view>

#include <GL/gl.h>
#include <GL/glext.h>

namespace vlm {

// True when `name` is a whole blank-separated word of the context's
// extension string.
bool HasGlExtension(std::string_view name);
// The same test over any extension string (kept apart for testing).
bool ExtensionListHas(std::string_view list, std::string_view name);
// Whether a context of GL `version` (10 x major + minor) with the extension
// list `extensions` offers `function`: a function of a GL version when the
// context has that version, one of an extension when the list names it.
// Names the GL headers do not know are never offered.
bool ContextOffers(std::string_view function, int version, std::string_view extensions);
// ContextOffers for the current context, and the name resolves. Name lookups
// alone answer for any name on some systems.
bool GlFunctionAvailable(std::string_view name);

// Extension entry points; each is null when the context does not offer it.
struct GlEntryPoints {
    // Multitexture and buffer objects (with "GL_ARB_multitexture").
    PFNGLACTIVETEXTUREARBPROC ActiveTextureARB = nullptr;
    PFNGLMULTITEXCOORD2FARBPROC MultiTexCoord2fARB = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC ClientActiveTextureARB = nullptr;
    PFNGLGENBUFFERSARBPROC GenBuffersARB = nullptr;
    PFNGLBINDBUFFERARBPROC BindBufferARB = nullptr;
    PFNGLBUFFERDATAARBPROC BufferDataARB = nullptr;
    PFNGLDELETEBUFFERSARBPROC DeleteBuffersARB = nullptr;
    PFNGLMAPBUFFERARBPROC MapBufferARB = nullptr;
    PFNGLUNMAPBUFFERARBPROC UnmapBufferARB = nullptr;
    PFNGLGETBUFFERPARAMETERIVARBPROC GetBufferParameterivARB = nullptr;
    // Shader objects (with "GL_ARB_fragment_program").
    PFNGLCREATEPROGRAMOBJECTARBPROC CreateProgramObjectARB = nullptr;
    PFNGLDELETEOBJECTARBPROC DeleteObjectARB = nullptr;
    PFNGLCREATESHADEROBJECTARBPROC CreateShaderObjectARB = nullptr;
    PFNGLSHADERSOURCEARBPROC ShaderSourceARB = nullptr;
    PFNGLCOMPILESHADERARBPROC CompileShaderARB = nullptr;
    PFNGLGETOBJECTPARAMETERIVARBPROC GetObjectParameterivARB = nullptr;
    PFNGLATTACHOBJECTARBPROC AttachObjectARB = nullptr;
    PFNGLGETINFOLOGARBPROC GetInfoLogARB = nullptr;
    PFNGLLINKPROGRAMARBPROC LinkProgramARB = nullptr;
    PFNGLUSEPROGRAMOBJECTARBPROC UseProgramObjectARB = nullptr;
    PFNGLGETUNIFORMLOCATIONARBPROC GetUniformLocationARB = nullptr;
    PFNGLUNIFORM1FARBPROC Uniform1fARB = nullptr;
    PFNGLUNIFORM1IARBPROC Uniform1iARB = nullptr;
    PFNGLGETATTRIBLOCATIONARBPROC GetAttribLocationARB = nullptr;
    PFNGLVERTEXATTRIB1FARBPROC VertexAttrib1fARB = nullptr;
    // Framebuffer objects (always looked up).
    PFNGLBINDRENDERBUFFEREXTPROC BindRenderbufferEXT = nullptr;
    PFNGLDELETERENDERBUFFERSEXTPROC DeleteRenderbuffersEXT = nullptr;
    PFNGLGENRENDERBUFFERSEXTPROC GenRenderbuffersEXT = nullptr;
    PFNGLRENDERBUFFERSTORAGEEXTPROC RenderbufferStorageEXT = nullptr;
    PFNGLBINDFRAMEBUFFEREXTPROC BindFramebufferEXT = nullptr;
    PFNGLDELETEFRAMEBUFFERSEXTPROC DeleteFramebuffersEXT = nullptr;
    PFNGLGENFRAMEBUFFERSEXTPROC GenFramebuffersEXT = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC CheckFramebufferStatusEXT = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC FramebufferRenderbufferEXT = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DEXTPROC FramebufferTexture2DEXT = nullptr;
    PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC GetFramebufferAttachmentParameterivEXT = nullptr;
};

// The entry points of the process's GL context (loaded at window creation).
const GlEntryPoints& GlExtensions();
// Looks them up for the current context.
void LoadGlEntryPoints();

} // namespace vlm
