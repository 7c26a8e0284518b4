// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sys_info.h"

#include "conversion/settings_file.h"
#include "ui/platform.h"

#include <algorithm>

namespace korvex {

namespace {

    // Query, set and create values, enumerate, notify, create links, read control: wider than a
    // read needs, but the rights the look-up asks for; a key that refuses them counts as missing.
    constexpr std::uint32_t keyAccess = 0x2003F;
    constexpr std::size_t valueBufferSize = 1024;

    // Tools tried in this order when the registry names none.
    constexpr const char *sysInfoPrograms[] = {"hardinfo", "kinfocenter", "lshw-gtk"};

    // The builds are POSIX-only and have no registry: every key is missing, so the look-up falls
    // through to the tools on the PATH. A Windows build would add a Registry over RegOpenKeyExA,
    // RegQueryValueExA and RegCloseKey and return it from SystemRegistry() below.
    class NoRegistry : public Registry
    {
    public:
        std::optional<Key> openKey(RegistryRoot, const std::string &, std::uint32_t) override
        {
            return std::nullopt;
        }
        std::optional<RegistryData> queryValue(Key, const std::string &, std::size_t) override
        {
            return std::nullopt;
        }
        void closeKey(Key) override { }
    };

    // "&h" and the digits without leading zeros; a number whose top bytes are zero may come shorter
    // than four bytes once the trailing zero is dropped.
    std::string numberText(const std::vector<std::uint8_t> &bytes)
    {
        std::uint32_t value = 0;
        for (std::size_t i = std::min<std::size_t>(bytes.size(), 4); i-- > 0;)
            value = (value << 8) | bytes[i];
        static constexpr char digits[] = "0123456789ABCDEF";
        std::string hex;
        do {
            hex.insert(hex.begin(), digits[value & 0xF]);
            value >>= 4;
        } while (value != 0);
        return "&h" + hex;
    }

    std::optional<std::string> registryText(
        Platform &platform, const std::string &key, const std::string &value)
    {
        std::string text;
        if (!GetKeyValue(platform.registry(), RegistryRoot::LocalMachine, key, value, text))
            return std::nullopt;
        return text;
    }

} // namespace

std::unique_ptr<Registry> SystemRegistry()
{
    return std::make_unique<NoRegistry>();
}

bool GetKeyValue(Registry &registry, RegistryRoot keyRoot, const std::string &keyName,
    const std::string &subKeyRef, std::string &keyVal)
{
    const std::optional<Registry::Key> key = registry.openKey(keyRoot, keyName, keyAccess);
    if (!key) {
        keyVal.clear();
        return false;
    }
    std::optional<RegistryData> data = registry.queryValue(*key, subKeyRef, valueBufferSize);
    registry.closeKey(*key);
    if (!data) {
        keyVal.clear();
        return false;
    }
    // A string fills the buffer to the last byte when it has no room left for its terminating zero.
    if (!data->bytes.empty() && data->bytes.back() == 0)
        data->bytes.pop_back();
    if (data->type == RegistryStringType)
        keyVal.assign(data->bytes.begin(), data->bytes.end());
    else if (data->type == RegistryNumberType)
        keyVal = numberText(data->bytes);
    return true;
}

std::optional<QString> FindSysInfo(Platform &platform)
{
    // The first entry is trusted as it stands; a failed start of it is reported like a missing
    // tool.
    if (const auto path =
            registryText(platform, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"))
        return QString::fromLocal8Bit(*path);
    if (const auto folder =
            registryText(platform, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO")) {
        const std::string path = *folder + "\\MSINFO32.EXE";
        if (FileExists(path, platform.files()))
            return QString::fromLocal8Bit(path);
    }
    for (const char *name : sysInfoPrograms) {
        const QString path = platform.findProgram(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return std::nullopt;
}

void StartSysInfo(Platform &platform, const std::function<void(const Message &)> &showMessage)
{
    const std::optional<QString> program = FindSysInfo(platform);
    if (!program || !platform.startProgram(*program))
        showMessage(SysInfoMissingMessage);
}

} // namespace korvex
