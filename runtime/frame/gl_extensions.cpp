#include "frame/gl_extensions.h"

#include <string>

#include "platform/window.h"

namespace vlm {

namespace {

GlEntryPoints theEntryPoints;

std::string_view GlExtensionString() {
    const auto* text = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return text ? std::string_view(text) : std::string_view();
}

// The extension that brings a function, for the entry points the runtime
// knows; these are answered by the extension string.
struct FunctionSource {
    std::string_view function;
    std::string_view extension;
};
constexpr FunctionSource kKnownSources[] = {
    {"glActiveTextureARB", "GL_ARB_multitexture"},
    {"glMultiTexCoord2fARB", "GL_ARB_multitexture"},
    {"glClientActiveTextureARB", "GL_ARB_multitexture"},
    {"glGenBuffersARB", "GL_ARB_vertex_buffer_object"},
    {"glBindBufferARB", "GL_ARB_vertex_buffer_object"},
    {"glBufferDataARB", "GL_ARB_vertex_buffer_object"},
    {"glDeleteBuffersARB", "GL_ARB_vertex_buffer_object"},
    {"glMapBufferARB", "GL_ARB_vertex_buffer_object"},
    {"glUnmapBufferARB", "GL_ARB_vertex_buffer_object"},
    {"glGetBufferParameterivARB", "GL_ARB_vertex_buffer_object"},
    {"glCreateProgramObjectARB", "GL_ARB_shader_objects"},
    {"glDeleteObjectARB", "GL_ARB_shader_objects"},
    {"glCreateShaderObjectARB", "GL_ARB_shader_objects"},
    {"glShaderSourceARB", "GL_ARB_shader_objects"},
    {"glCompileShaderARB", "GL_ARB_shader_objects"},
    {"glGetObjectParameterivARB", "GL_ARB_shader_objects"},
    {"glAttachObjectARB", "GL_ARB_shader_objects"},
    {"glGetInfoLogARB", "GL_ARB_shader_objects"},
    {"glLinkProgramARB", "GL_ARB_shader_objects"},
    {"glUseProgramObjectARB", "GL_ARB_shader_objects"},
    {"glGetUniformLocationARB", "GL_ARB_shader_objects"},
    {"glUniform1fARB", "GL_ARB_shader_objects"},
    {"glUniform1iARB", "GL_ARB_shader_objects"},
    {"glGetAttribLocationARB", "GL_ARB_vertex_shader"},
    {"glVertexAttrib1fARB", "GL_ARB_vertex_program"},
    {"glBindRenderbufferEXT", "GL_EXT_framebuffer_object"},
    {"glDeleteRenderbuffersEXT", "GL_EXT_framebuffer_object"},
    {"glGenRenderbuffersEXT", "GL_EXT_framebuffer_object"},
    {"glRenderbufferStorageEXT", "GL_EXT_framebuffer_object"},
    {"glBindFramebufferEXT", "GL_EXT_framebuffer_object"},
    {"glDeleteFramebuffersEXT", "GL_EXT_framebuffer_object"},
    {"glGenFramebuffersEXT", "GL_EXT_framebuffer_object"},
    {"glCheckFramebufferStatusEXT", "GL_EXT_framebuffer_object"},
    {"glFramebufferRenderbufferEXT", "GL_EXT_framebuffer_object"},
    {"glFramebufferTexture2DEXT", "GL_EXT_framebuffer_object"},
    {"glGetFramebufferAttachmentParameterivEXT", "GL_EXT_framebuffer_object"},
};

// A looked-up entry point, or null when the context does not really offer it.
template <typename Function> void Load(Function& slot, const char* name) {
    slot = GlFunctionAvailable(name) ? reinterpret_cast<Function>(platform::GlProcAddress(name)) : nullptr;
}

} // namespace

bool ExtensionListHas(std::string_view list, std::string_view name) {
    if (name.empty()) return false;
    for (std::size_t at = list.find(name); at != std::string_view::npos; at = list.find(name, at + 1)) {
        const bool startsWord = at == 0 || list[at - 1] == ' ';
        const std::size_t end = at + name.size();
        const bool endsWord = end == list.size() || list[end] == ' ';
        if (startsWord && endsWord) return true;
    }
    return false;
}

bool HasGlExtension(std::string_view name) {
    return ExtensionListHas(GlExtensionString(), name);
}

bool GlFunctionAvailable(std::string_view name) {
    const std::string text(name);
    if (!platform::GlProcAddress(text.c_str())) return false;
    for (const FunctionSource& known : kKnownSources) {
        if (known.function == name) return HasGlExtension(known.extension);
    }
    return platform::GlLibraryExports(text.c_str());
}

const GlEntryPoints& GlExtensions() {
    return theEntryPoints;
}

void LoadGlEntryPoints() {
    GlEntryPoints& e = theEntryPoints;
    const std::string_view extensions = GlExtensionString();
    // A plain substring test, as programs written for the runtime expect:
    // these groups are looked up whenever the name appears at all.
    if (extensions.find("GL_ARB_multitexture") != std::string_view::npos) {
        Load(e.ActiveTextureARB, "glActiveTextureARB");
        Load(e.MultiTexCoord2fARB, "glMultiTexCoord2fARB");
        Load(e.ClientActiveTextureARB, "glClientActiveTextureARB");
        Load(e.GenBuffersARB, "glGenBuffersARB");
        Load(e.BindBufferARB, "glBindBufferARB");
        Load(e.BufferDataARB, "glBufferDataARB");
        Load(e.DeleteBuffersARB, "glDeleteBuffersARB");
        Load(e.MapBufferARB, "glMapBufferARB");
        Load(e.UnmapBufferARB, "glUnmapBufferARB");
        Load(e.GetBufferParameterivARB, "glGetBufferParameterivARB");
    }
    if (extensions.find("GL_ARB_fragment_program") != std::string_view::npos) {
        Load(e.CreateProgramObjectARB, "glCreateProgramObjectARB");
        Load(e.DeleteObjectARB, "glDeleteObjectARB");
        Load(e.CreateShaderObjectARB, "glCreateShaderObjectARB");
        Load(e.ShaderSourceARB, "glShaderSourceARB");
        Load(e.CompileShaderARB, "glCompileShaderARB");
        Load(e.GetObjectParameterivARB, "glGetObjectParameterivARB");
        Load(e.AttachObjectARB, "glAttachObjectARB");
        Load(e.GetInfoLogARB, "glGetInfoLogARB");
        Load(e.LinkProgramARB, "glLinkProgramARB");
        Load(e.UseProgramObjectARB, "glUseProgramObjectARB");
        Load(e.GetUniformLocationARB, "glGetUniformLocationARB");
        Load(e.Uniform1fARB, "glUniform1fARB");
        Load(e.Uniform1iARB, "glUniform1iARB");
        Load(e.GetAttribLocationARB, "glGetAttribLocationARB");
        Load(e.VertexAttrib1fARB, "glVertexAttrib1fARB");
    }
    Load(e.BindRenderbufferEXT, "glBindRenderbufferEXT");
    Load(e.DeleteRenderbuffersEXT, "glDeleteRenderbuffersEXT");
    Load(e.GenRenderbuffersEXT, "glGenRenderbuffersEXT");
    Load(e.RenderbufferStorageEXT, "glRenderbufferStorageEXT");
    Load(e.BindFramebufferEXT, "glBindFramebufferEXT");
    Load(e.DeleteFramebuffersEXT, "glDeleteFramebuffersEXT");
    Load(e.GenFramebuffersEXT, "glGenFramebuffersEXT");
    Load(e.CheckFramebufferStatusEXT, "glCheckFramebufferStatusEXT");
    Load(e.FramebufferRenderbufferEXT, "glFramebufferRenderbufferEXT");
    // Surfaces draw into a sprite's texture, which needs this one too.
    Load(e.FramebufferTexture2DEXT, "glFramebufferTexture2DEXT");
    Load(e.GetFramebufferAttachmentParameterivEXT, "glGetFramebufferAttachmentParameterivEXT");
}

} // namespace vlm
