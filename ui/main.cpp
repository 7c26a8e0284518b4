#include "ui/calculator.h"
#include "ui/module1.h"
#include "ui/platform.h"
#include "ui/version.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(korvex::ApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(korvex::VersionText));

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
