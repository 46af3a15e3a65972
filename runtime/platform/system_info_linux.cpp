#include "platform/system_info.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace vlm::platform {

namespace {

std::optional<std::string> FirstLineOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    return line;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

bool IsFolder(const std::string& path) {
    struct stat info{};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The XDG_DOCUMENTS_DIR line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents".
std::optional<std::string> DocumentsFromUserDirs() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path file =
        std::filesystem::path(config && *config ? config : HomeFolder() + "/.config") / "user-dirs.dirs";
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
        if (!line.starts_with(kKey)) continue;
        std::string value = line.substr(kKey.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME")) value = HomeFolder() + value.substr(5);
        // A documents folder equal to home means the user turned it off.
        if (value.empty() || value == HomeFolder() || value == HomeFolder() + "/") return std::nullopt;
        return value;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::int32_t> BatteryPercent(const std::filesystem::path& powerSupplies) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(powerSupplies, error)) {
        if (FirstLineOf(entry.path() / "type") != "Battery") continue;
        const auto capacity = FirstLineOf(entry.path() / "capacity");
        if (!capacity) continue;
        char* end = nullptr;
        const long percent = std::strtol(capacity->c_str(), &end, 10);
        if (end != capacity->c_str() && percent >= 0 && percent <= 100) return static_cast<std::int32_t>(percent);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> MachineIdentity(const std::filesystem::path& file) {
    const auto line = FirstLineOf(file);
    if (!line || line->size() < 32) return std::nullopt;
    std::uint32_t folded = 0;
    for (std::size_t word = 0; word < 4; ++word) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            const char c = (*line)[word * 8 + i];
            std::uint32_t digit;
            if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') digit = static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') digit = static_cast<std::uint32_t>(c - 'A' + 10);
            else return std::nullopt;
            value = value << 4 | digit;
        }
        folded ^= value;
    }
    return folded;
}

std::string UserLocaleName() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "";
}

std::optional<std::string> DocumentsFolder() {
    if (auto folder = DocumentsFromUserDirs()) {
        if (IsFolder(*folder)) return folder;
        return std::nullopt;
    }
    // Without a user-dirs entry the usual place still counts when it exists.
    const std::string usual = HomeFolder() + "/Documents";
    if (!HomeFolder().empty() && IsFolder(usual)) return usual;
    return std::nullopt;
}

bool DebuggerAttached() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("TracerPid:")) return std::atoi(line.c_str() + 10) != 0;
    }
    return false;
}

} // namespace vlm::platform
