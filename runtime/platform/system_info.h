// Facts about the machine and the user from the nearest Linux services.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace vlm::platform {

// Charge of the first battery under `powerSupplies` in percent (0..100).
std::optional<std::int32_t> BatteryPercent(const std::filesystem::path& powerSupplies = "/sys/class/power_supply");
// The machine's identity ("/etc/machine-id") folded to 32 bits.
std::optional<std::uint32_t> MachineIdentity(const std::filesystem::path& file = "/etc/machine-id");
// The locale that names the user's language: LC_ALL, LC_MESSAGES or LANG,
// the first that is set and not empty ("" when none is).
std::string UserLocaleName();
// The XDG documents folder, when the user has one.
std::optional<std::string> DocumentsFolder();
// A debugger (any tracer) is attached to this process.
bool DebuggerAttached();

} // namespace vlm::platform
