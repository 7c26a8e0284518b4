// SPDX-License-Identifier: GPL-3.0-or-later
// Finding and starting the system-information tool of the About window: through the registry
// where the system has one, else the first known tool on the PATH.
#pragma once

#include "engine/host.h"
#include "ui/version.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

class Platform;

enum class RegistryRoot { LocalMachine };

struct RegistryData
{
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
};

// The three read calls the look-up makes, as thin as the system's own so that a fake can stand in.
class Registry
{
public:
    using Key = std::uintptr_t;

    virtual ~Registry() = default;
    virtual std::optional<Key> openKey(
        RegistryRoot root, const std::string &path, std::uint32_t access) = 0;
    // The value's type and bytes; nothing when it cannot be read, or holds more than capacity.
    virtual std::optional<RegistryData> queryValue(
        Key key, const std::string &name, std::size_t capacity) = 0;
    virtual void closeKey(Key key) = 0;
};

// The registry of this system: on the POSIX systems this program builds for, one where every key is
// missing. A Windows back end would be returned here.
std::unique_ptr<Registry> SystemRegistry();

inline constexpr std::uint32_t RegistryStringType = 1;
inline constexpr std::uint32_t RegistryNumberType = 4; // 32 bits, little-endian

// Reads one value into keyVal: a string as its bytes, a 32-bit number as "&h" and its hexadecimal
// digits; any other type leaves keyVal as it was. On failure keyVal is emptied.
bool GetKeyValue(Registry &registry, RegistryRoot keyRoot, const std::string &keyName,
    const std::string &subKeyRef, std::string &keyVal);

// "Systeme" without its accent, on purpose: the message keeps its own spelling.
inline const Message SysInfoMissingMessage{
    "Information Systeme introuvable !", ApplicationTitle, MessageIcon::None};

// The path of the system-information tool, or nothing when there is none.
std::optional<QString> FindSysInfo(Platform &platform);

// Starts the tool without waiting for it; a missing tool or a failed start shows one message.
void StartSysInfo(Platform &platform, const std::function<void(const Message &)> &showMessage);

} // namespace korvex
