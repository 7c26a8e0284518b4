#include "ui/platform.h"

#include "conversion/settings_file.h"
#include "ui/sys_info.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace korvex {

QString Platform::programDirectory() const
{
    return QCoreApplication::applicationDirPath();
}

bool Platform::isInstalledFolder(const QString &folder)
{
    // Run from there, even by root, the program must not leave a file that every other user reads
    // and no package removes.
    static const QStringList systemFolders{u"/usr/bin"_s, u"/bin"_s, u"/usr/local/bin"_s,
        u"/usr/games"_s, u"/usr/local/games"_s, u"/usr/sbin"_s, u"/sbin"_s};
    const QString canonical = QDir(folder).canonicalPath();
    const QString installed = QDir(QString::fromUtf8(KORVEX_INSTALL_BINDIR)).canonicalPath();
    return systemFolders.contains(QDir::cleanPath(folder)) || systemFolders.contains(canonical)
        || (!installed.isEmpty() && canonical == installed);
}

QString Platform::settingsDirectory()
{
    const QString program = programDirectory();
    const std::string file = program.toStdString() + '/' + std::string(SettingsFileName);
    if (!isInstalledFolder(program) && (FileExists(file, files()) || isWritableDirectory(program)))
        return program;
    const QString user = QDir::cleanPath(userConfigDirectory());
    m_files.setUserFolder(QFile::encodeName(QDir::cleanPath(user)).toStdString());
    return user;
}

bool Platform::isWritableDirectory(const QString &path) const
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

QString Platform::userConfigDirectory() const
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + u"/.config"_s;
    return base + u"/korvex"_s;
}

std::optional<QString> Platform::clipboardText() const
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return std::nullopt;
    return clipboard->text();
}

void Platform::setClipboardText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return;
    clipboard->clear();
    clipboard->setText(text);
}

void Platform::quit()
{
    QCoreApplication::quit();
}

void Platform::openLink(const QString &target)
{
    QDesktopServices::openUrl(QUrl(target));
}

QString Platform::findProgram(const QString &name) const
{
    return QStandardPaths::findExecutable(name);
}

bool Platform::startProgram(const QString &path)
{
    return QProcess::startDetached(path, {});
}

Registry &Platform::registry()
{
    // The system's registry keeps no state of its own: one reader serves every window.
    static const std::unique_ptr<Registry> system = SystemRegistry();
    return *system;
}

} // namespace korvex
