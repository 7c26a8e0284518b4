// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/calculator.h"
#include "ui/module1.h"
#include "ui/platform.h"
#include "ui/version.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

// Qt's own help texts are English and need a display: these answer on the terminal, in French,
// before any window exists, so that a packaging script or a user without a desktop gets them.
constexpr const char *usageText = "Utilisation : korvex [option]\n"
                                  "Calculatrice avec conversion francs/euros et TVA.\n"
                                  "\n"
                                  "Options :\n"
                                  "  -h, --help     affiche cette aide et s'arrête\n"
                                  "  -v, --version  affiche la version et s'arrête\n"
                                  "\n"
                                  "Sans option, korvex ouvre la fenêtre de la calculatrice.\n"
                                  "Les options de Qt (-platform, -style, ...) sont acceptées.\n";

enum class Answer { None, Help, Version };

Answer terminalAnswer(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help")
            return Answer::Help;
        if (argument == "-v" || argument == "--version")
            return Answer::Version;
    }
    return Answer::None;
}

// An answer that did not reach its reader (a closed or full output) is a failure, said on stderr.
int answered(int written)
{
    if (written >= 0 && std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    std::fputs("korvex : la réponse n'a pas pu être écrite sur la sortie standard.\n", stderr);
    return 1;
}

// What stopped the window from opening, in the user's terms: the platform asked for by name, or
// the display the desktop should have given.
std::string noDisplayText(int argc, char *argv[])
{
    std::string_view platform;
    if (const char *asked = std::getenv("QT_QPA_PLATFORM"); asked != nullptr && *asked != '\0')
        platform = asked;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string_view(argv[i]) == "-platform" || std::string_view(argv[i]) == "--platform")
            platform = argv[i + 1];
    }
    if (!platform.empty())
        return "korvex : la plate-forme graphique « " + std::string(platform)
            + " » n'a pas pu démarrer.\n";
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        return "korvex : aucun affichage à ouvrir (ni DISPLAY ni WAYLAND_DISPLAY).\n";
    return "korvex : l'affichage n'a pas pu être ouvert.\n";
}

// Qt knows no way but abort when no display or platform can start. Its fatal message is taken
// over while the application starts: the user reads what went wrong in French, and the program
// ends with a failure status instead of a crash.
// Written before Qt starts, which takes its own options out of the arguments.
std::string noDisplay;

void startMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg)
        return qt_message_output(type, context, text);
    std::fputs(noDisplay.c_str(), stderr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char *argv[])
{
    switch (terminalAnswer(argc, argv)) {
    case Answer::Help:
        return answered(std::fputs(usageText, stdout));
    case Answer::Version:
        return answered(std::printf("%s %s\n", korvex::ApplicationTitle, korvex::VersionText));
    case Answer::None:
        break;
    }

    noDisplay = noDisplayText(argc, argv);
    const QtMessageHandler usual = qInstallMessageHandler(startMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(usual);
    // Qt has taken its own options out; whatever is left is not meant for this program.
    if (QApplication::arguments().size() > 1) {
        std::fputs(usageText, stderr);
        return 2;
    }
    QApplication::setApplicationName(QString::fromLatin1(korvex::ApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(korvex::VersionText));
    // Wayland compositors match the window to its desktop entry and icon by this name. On X11 the
    // window class stays the application name, "Korvex", which the entry's StartupWMClass names.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(korvex::ApplicationId));

    // The standard buttons of Qt's own dialogs speak French like the rest of the program.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::French, QLocale::France), u"qtbase"_s, u"_"_s,
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    korvex::Module1 module;
    korvex::Platform platform;
    korvex::Calculator window(module, platform);
    window.show();
    window.Form_Activate();
    return QApplication::exec();
}
