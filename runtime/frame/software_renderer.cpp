#include "frame/software_renderer.h"

#include <GL/gl.h>
#include <string>

#include "frame/error_log.h"
#include "frame/message_box.h"

namespace vlm {

namespace {

struct RendererCheck {
    bool SoftwareGlWarned = false;
    bool RendererRead = false;
    std::string Renderer; // the context's renderer string, read once
};
RendererCheck theCheck;

// Single-byte text: 0xFC is the u with diaeresis.
constexpr std::string_view kWarningCaption = "!!OpenGL Software Emulation!!";
constexpr std::string_view kWarningText = "Please update your GFX adapter's driver\n"
                                          "so it can render OpenGL by HARDWARE\n\n\n"
                                          "Bitte aktualisieren Sie Ihren\n"
                                          "Grafkkartentreiber, damit er OpenGL\n"
                                          "per HARDWARE unterst\xFCtzt!";

} // namespace

bool IsSlowSoftwareRenderer(std::string_view renderer) {
    return renderer.find("softpipe") != std::string_view::npos || renderer == "Software Rasterizer" ||
           renderer == "Mesa X11";
}

void WarnAboutSoftwareRenderer() {
    if (theCheck.SoftwareGlWarned) return;
    if (!theCheck.RendererRead) {
        const auto* text = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        if (!text) return; // no current context yet: ask again next time
        theCheck.Renderer = text;
        theCheck.RendererRead = true;
    }
    if (!IsSlowSoftwareRenderer(theCheck.Renderer)) return;
    theCheck.SoftwareGlWarned = true;
    ShowMessageBox(kWarningCaption, kWarningText);
    AppendLogLine("OpenGL Software Emulation");
}

} // namespace vlm
