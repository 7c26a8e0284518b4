#include "tests/support/test_platform.h"

using namespace Qt::StringLiterals;

namespace korvex {

std::optional<Registry::Key> FakeRegistry::openKey(
    RegistryRoot, const std::string &path, std::uint32_t access)
{
    askedAccess = access;
    if (!keys.contains(path))
        return std::nullopt;
    open.push_back(path);
    return open.size() - 1;
}

std::optional<RegistryData> FakeRegistry::queryValue(
    Key key, const std::string &name, std::size_t capacity)
{
    offered = capacity;
    const auto &values = keys.at(open.at(key));
    const auto value = values.find(name);
    if (value == values.end() || value->second.bytes.size() > capacity)
        return std::nullopt;
    return value->second;
}

void FakeRegistry::set(
    const std::string &key, const std::string &name, std::uint32_t type, const QByteArray &bytes)
{
    keys[key][name] = {type, {bytes.begin(), bytes.end()}};
}

QString TestPlatform::userConfigDirectory() const
{
    return home.path() + u"/config/korvex"_s;
}

std::optional<QString> TestPlatform::clipboardText() const
{
    if (!clipboardReadable)
        return std::nullopt;
    return Platform::clipboardText();
}

QString TestPlatform::findProgram(const QString &name) const
{
    return useSystemPath ? Platform::findProgram(name) : onPath.value(name);
}

bool TestPlatform::startProgram(const QString &path)
{
    started << path;
    return useSystemPath ? Platform::startProgram(path) : startWorks;
}

} // namespace korvex
