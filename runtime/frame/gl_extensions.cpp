#include "frame/gl_extensions.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "platform/window.h"

namespace vlm {

namespace {

GlEntryPoints theEntryPoints;

std::string_view GlExtensionString() {
    const auto* text = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return text ? std::string_view(text) : std::string_view();
}

// The GL version ("GL_VERSION_1_3") or extension that brings each function,
// sorted by function name.
struct FunctionSource {
    std::string_view function;
    std::string_view feature;
};
constexpr FunctionSource kFunctionSources[] = {
#include "gl_function_table.inc"
};
static_assert(std::is_sorted(std::begin(kFunctionSources), std::end(kFunctionSources),
                             [](const FunctionSource& a, const FunctionSource& b) { return a.function < b.function; }));

constexpr std::string_view kVersionPrefix = "GL_VERSION_";

// "4.5 (Compatibility Profile) Mesa 22.3.6" -> 45; 0 when unreadable.
int ContextVersion() {
    const auto* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (!text || std::sscanf(text, "%d.%d", &major, &minor) != 2) return 0;
    return major * 10 + minor;
}

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

bool ContextOffers(std::string_view function, int version, std::string_view extensions) {
    const auto* source = std::lower_bound(
        std::begin(kFunctionSources), std::end(kFunctionSources), function,
        [](const FunctionSource& entry, std::string_view name) { return entry.function < name; });
    if (source == std::end(kFunctionSources) || source->function != function) return false;
    const std::string_view feature = source->feature;
    if (!feature.starts_with(kVersionPrefix)) return ExtensionListHas(extensions, feature);
    // "GL_VERSION_1_3": major and minor one digit each.
    const std::string_view number = feature.substr(kVersionPrefix.size());
    return number.size() == 3 && version >= (number[0] - '0') * 10 + (number[2] - '0');
}

bool GlFunctionAvailable(std::string_view name) {
    const std::string text(name);
    return platform::GlProcAddress(text.c_str()) && ContextOffers(name, ContextVersion(), GlExtensionString());
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
