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

} // namespace

int main(int argc, char *argv[])
{
    switch (terminalAnswer(argc, argv)) {
    case Answer::Help:
        std::fputs(usageText, stdout);
        return 0;
    case Answer::Version:
        std::printf("%s %s\n", korvex::ApplicationTitle, korvex::VersionText);
        return 0;
    case Answer::None:
        break;
    }

    QApplication app(argc, argv);
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
