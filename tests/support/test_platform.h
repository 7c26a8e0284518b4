// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop as the window tests see it: temporary folders, a counted quit, recorded links and
// started programs, and a registry that is a table.
#pragma once

#include "tests/support/folder.h"
#include "ui/platform.h"
#include "ui/sys_info.h"

#include <QMap>
#include <QStringList>
#include <map>
#include <string>
#include <vector>

namespace korvex {

// Keys by path, values with their type and bytes; records what the reader asked for.
class FakeRegistry : public Registry
{
public:
    std::optional<Key> openKey(RegistryRoot, const std::string &path, std::uint32_t access) override
    {
        askedAccess = access;
        if (!keys.contains(path))
            return std::nullopt;
        open.push_back(path);
        return open.size() - 1;
    }
    std::optional<RegistryData> queryValue(
        Key key, const std::string &name, std::size_t capacity) override
    {
        offered = capacity;
        const auto &values = keys.at(open.at(key));
        const auto value = values.find(name);
        if (value == values.end() || value->second.bytes.size() > capacity)
            return std::nullopt;
        return value->second;
    }
    void closeKey(Key) override { ++closed; }
    void set(const std::string &key, const std::string &name, std::uint32_t type,
        const QByteArray &bytes)
    {
        keys[key][name] = {type, {bytes.begin(), bytes.end()}};
    }

    std::map<std::string, std::map<std::string, RegistryData>> keys;
    std::vector<std::string> open;
    int closed = 0;
    std::uint32_t askedAccess = 0;
    std::size_t offered = 0;
};

// The real clipboard, an empty program folder, a quit that is only counted; links and started
// programs are recorded, and the PATH is a table unless the real one is wanted.
class TestPlatform : public Platform
{
public:
    QString programDirectory() const override { return folder.dir.path(); }
    bool isWritableDirectory(const QString &) const override { return writable; }
    QString userConfigDirectory() const override
    {
        return home.dir.path() + QStringLiteral("/config/korvex");
    }
    ClipboardOffer clipboardOffer() override
    {
        return clipboardReadable ? Platform::clipboardOffer() : ClipboardOffer::Unreadable;
    }
    std::optional<std::string> clipboardText() override
    {
        return clipboardReadable ? Platform::clipboardText() : std::nullopt;
    }
    void quit() override { ++quits; }
    void openLink(const QString &target) override { links << target; }
    QString findProgram(const QString &name) const override
    {
        return useSystemPath ? Platform::findProgram(name) : onPath.value(name);
    }
    bool startProgram(const QString &path) override
    {
        started << path;
        return useSystemPath ? Platform::startProgram(path) : startWorks;
    }
    Registry &registry() override { return fakeRegistry; }

    Folder folder;
    Folder home;
    bool writable = true;
    bool clipboardReadable = true;
    int quits = 0;
    FakeRegistry fakeRegistry;
    QMap<QString, QString> onPath;
    bool useSystemPath = false;
    bool startWorks = true;
    QStringList links;
    QStringList started;
};

} // namespace korvex
