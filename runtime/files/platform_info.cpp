#include "files/platform_info.h"

#include <cstdio>
#include <string>

#include "files/file_services.h"
#include "frame/gl_extensions.h"
#include "platform/system_info.h"
#include "values/number_text.h"

namespace vlm {

namespace {

// Fixed values of this runtime: the identity mask, the identity used when
// the machine has none, and the build identification.
constexpr std::uint32_t kIdentityMask = 0x5A17C0DE;
constexpr std::uint32_t kFallbackSerial = 0x1C0FFEE5;
constexpr const char* kHostId = "7e3a91c4";

std::string theBuildStamp = std::string(__DATE__) + "-" + __TIME__;

constexpr std::string_view kGlExtensionPrefix = "GLEXT:";

} // namespace

void SetBuildStamp(const char* date, const char* time) {
    theBuildStamp = std::string(date ? date : "") + "-" + (time ? time : "");
}

DynString LocalTimeText(std::time_t when) {
    std::tm local{};
    if (!::localtime_r(&when, &local)) return DynString("NO_DATA");
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return DynString(text);
}

DynString MachineIdText(std::uint32_t serial) {
    const std::uint32_t value = serial ^ kIdentityMask;
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return StringToHex(bytes);
}

DynString PlatformInfo(DynString& key) {
    // The function name keeps the case the caller wrote.
    const std::string asWritten(key.view());
    key.MakeUpper();
    const std::string k(key.view());

    if (k.empty()) return DynString("WIN32");
    if (k.starts_with(kGlExtensionPrefix)) {
        return DynString(GlFunctionAvailable(std::string_view(asWritten).substr(kGlExtensionPrefix.size())) ? "1" : "0");
    }
    if (k == "ID") return MachineIdText(platform::MachineIdentity().value_or(kFallbackSerial));
    if (k == "DEVICE") return DynString("DESKTOP");
    if (k == "TIME") return LocalTimeText(std::time(nullptr));
    if (k == "BATTERY") return NumberToText(platform::BatteryPercent().value_or(255));
    if (k == "COMPILED") return DynString(theBuildStamp);
    if (k == "HOSTID") return DynString(kHostId);
    if (k == "LOCALE") return LocaleCode(LanguageIdFromLocale(platform::UserLocaleName()));
    if (k == "DOCUMENTS") {
        const auto folder = platform::DocumentsFolder();
        if (!folder) return DynString("NO_DATA");
        DynString text(*folder);
        ConvertToForwardSlashes(text);
        return text;
    }
    return DynString("NO_DATA");
}

} // namespace vlm
