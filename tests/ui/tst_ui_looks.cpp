// SPDX-License-Identifier: GPL-3.0-or-later
// How the windows look, seen through their pixels: frames where the layout places them, text that
// reads under a dark theme, small captions that stay legible, where the settings dialog opens.
#include "tests/support/test_platform.h"
#include "ui/about_window.h"
#include "ui/calculator.h"
#include "ui/help_window.h"
#include "ui/message_box.h"
#include "ui/module1.h"
#include "ui/settings_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <map>
#include <memory>

using namespace korvex;
using namespace Qt::StringLiterals;

namespace {

// One of the four windows, shown, with what it needs kept alive beside it.
struct Scene
{
    explicit Scene(const QString &which)
    {
        if (which == u"help")
            window = std::make_unique<FrmAide>();
        else if (which == u"about")
            window = std::make_unique<frmAbout>(platform);
        else if (which == u"settings")
            window = std::make_unique<Form1>(module.settings, platform.files(), calculator);
        else { // the main window with the memory indicator and the unit label showing
            calculator.findChild<QPushButton *>(u"Command10"_s)->click(); // MS
            calculator.findChild<QPushButton *>(u"Command4"_s)->click(); // Francs > Euro
        }
        QWidget &shown = *this->shown();
        shown.show();
        QCoreApplication::processEvents();
        image = shown.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QWidget *shown() { return window ? window.get() : &calculator; }
    QRect placeOf(const QWidget &control)
    {
        return {control.mapTo(shown(), QPoint()), control.size()};
    }

    Module1 module;
    TestPlatform platform;
    Calculator calculator{module, platform};
    std::unique_ptr<QWidget> window;
    QImage image;
};

// The contrast ratio of the accessibility guidelines.
double contrast(QColor a, QColor b)
{
    const auto luminance = [](QColor c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Each label's text colour and its ground, the colour that covers most of its box.
std::map<QString, std::pair<QColor, QColor>> labelColours(const QString &which)
{
    Scene scene(which);
    std::map<QString, std::pair<QColor, QColor>> colours;
    for (QLabel *label : scene.shown()->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || !label->isVisible())
            continue;
        std::map<QRgb, int> counts;
        const QRect box = scene.placeOf(*label) & scene.image.rect();
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                ++counts[scene.image.pixel(x, y)];
        const auto ground = std::max_element(
            counts.begin(), counts.end(), [](auto &a, auto &b) { return a.second < b.second; });
        colours[label->objectName()] = {
            label->palette().color(label->foregroundRole()), QColor(ground->first)};
    }
    return colours;
}

} // namespace

class TestUiLooks : public QObject
{
    Q_OBJECT

private slots:
    void framesSitOnTheirTop_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("help window") << u"help"_s;
        QTest::newRow("settings dialog") << u"settings"_s;
    }

    // The caption's top is the frame's; the border's dark line runs through the caption's middle
    // with a light line under it; the caption covers no other control.
    void framesSitOnTheirTop()
    {
        QFETCH(QString, window);
        Scene scene(window);
        const QImage &image = scene.image;
        const int ground = qGray(scene.shown()->palette().color(QPalette::Window).rgb());
        const auto frames = scene.shown()->findChildren<QGroupBox *>();
        QVERIFY(!frames.isEmpty());
        for (QGroupBox *frame : frames) {
            const QRect box = scene.placeOf(*frame);
            int border = box.top();
            while (
                border < box.bottom() && qGray(image.pixel(box.left() + 3, border)) > ground - 60)
                ++border;
            QVERIFY(qGray(image.pixel(box.left() + 3, border + 1)) > ground);
            QRect caption(box.left(), box.top(), 1, 13); // a caption-less frame: a line's height
            for (int y = box.top() - 6; y < box.top() + 20 && !frame->title().isEmpty(); ++y)
                for (int x = box.left(); x < box.left() + 40; ++x)
                    caption = qGray(image.pixel(x, y)) < 90 ? caption | QRect(x, y, 1, 1) : caption;
            const QString seen = u"%1: caption %2 to %3, border %4"_s.arg(frame->objectName())
                                     .arg(caption.top() - box.top())
                                     .arg(caption.bottom() - box.top())
                                     .arg(border - box.top());
            QVERIFY2(
                caption.top() >= box.top() && caption.top() <= box.top() + 3, qPrintable(seen));
            QVERIFY2(
                std::abs(2 * border - caption.top() - caption.bottom()) <= 3, qPrintable(seen));
            for (QWidget *other : scene.shown()->findChildren<QWidget *>()) {
                if (other->isVisible() && !frame->isAncestorOf(other)
                    && !other->isAncestorOf(frame))
                    QVERIFY2(other == frame || !scene.placeOf(*other).intersects(caption),
                        qPrintable(seen + u" under "_s + other->objectName()));
            }
        }
    }

    void textReadsOnADarkTheme_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("main window") << u"main"_s;
        QTest::newRow("help window") << u"help"_s;
        QTest::newRow("About window") << u"about"_s;
        QTest::newRow("settings dialog") << u"settings"_s;
    }

    // A label either looks exactly as on a light theme (a colour pair of the layout's own), or
    // follows the dark theme and keeps a contrast of 4.5:1 against its ground.
    void textReadsOnADarkTheme()
    {
        QFETCH(QString, window);
        const QPalette light = QApplication::palette();
        const auto onLight = labelColours(window);
        QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x2D, 0x2D, 0x2D));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(0xEE, 0xEE, 0xEE));
        QApplication::setPalette(dark);
        const auto onDark = labelColours(window);
        QApplication::setPalette(light);
        QCOMPARE(onDark.size(), onLight.size());
        for (const auto &[name, pair] : onDark) {
            const double ratio = contrast(pair.first, pair.second);
            QVERIFY2(pair == onLight.at(name) || ratio >= 4.5,
                qPrintable(u"%1: %2 on %3, %4:1"_s.arg(name, pair.first.name(), pair.second.name())
                               .arg(ratio, 0, 'f', 2)));
        }
    }

    // Where the layout fixes no text colour the ground is the theme's: beside the help window's
    // blue contact lines, and in the memory indicator while it is empty; the red "M" keeps its
    // light ground.
    void groundFollowsTheThemeWhereNoTextIsFixed()
    {
        const QPalette light = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(0x35, 0x35, 0x35), QColor(0x2D, 0x2D, 0x2D)));
        Scene help(u"help"_s);
        const QPoint frame =
            help.placeOf(*help.shown()->findChild<QWidget *>(u"Frame1"_s)).topLeft();
        QStringList grounds{help.image.pixelColor(frame + QPoint(6, 40)).name()};
        Scene main(u"main"_s); // the memory holds a number
        auto *indicator = main.calculator.findChild<QLabel *>(u"Label2"_s);
        grounds << indicator->grab().toImage().pixelColor(3, 9).name();
        main.calculator.findChild<QPushButton *>(u"Command8"_s)->click(); // MC
        grounds << indicator->grab().toImage().pixelColor(3, 9).name();
        QApplication::setPalette(light);
        QCOMPARE(grounds, QStringList({u"#2d2d2d"_s, u"#f0f0f0"_s, u"#2d2d2d"_s}));
    }

    void ellipsesShowThreeDots_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Détails...") << u"Command1"_s;
        QTest::newRow("Système Info...") << u"cmdSysInfo"_s;
    }

    // Read column by column, the caption ends in three marks at most three pixels wide, with bare
    // ground between them.
    void ellipsesShowThreeDots()
    {
        QFETCH(QString, button);
        Scene scene(u"about"_s);
        const QImage image = scene.shown()->findChild<QPushButton *>(button)->grab().toImage();
        const int ground = qGray(image.pixel(4, image.height() / 2));
        QString marks; // one letter a column: "#" ink, "." bare
        for (int x = 4; x < image.width() - 4; ++x) {
            bool ink = false;
            for (int y = 4; y < image.height() - 4; ++y)
                ink = ink || qGray(image.pixel(x, y)) < ground - 70;
            marks += ink ? u'#' : u'.';
        }
        const QStringList runs = marks.split(u'.', Qt::SkipEmptyParts);
        QVERIFY2(runs.size() >= 4
                && std::all_of(
                    runs.end() - 3, runs.end(), [](auto &run) { return run.size() <= 3; }),
            qPrintable(marks));
    }

    // The help window's credit line ends with bare ground before the "Affichage " frame beside it.
    void creditLineClearsTheFrameBeside()
    {
        Scene scene(u"help"_s);
        const int end = scene.shown()->findChild<QLabel *>(u"Label11"_s)->geometry().right();
        const int frame = scene.shown()->findChild<QWidget *>(u"Frame2"_s)->geometry().left();
        QVERIFY2(end + 3 <= frame, qPrintable(u"%1, %2"_s.arg(end).arg(frame)));
    }

    // The box the user sees: the icon each kind of message asks for, its title, its lines.
    void messageBoxShowsItsIcon_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("icon");
        QTest::newRow("information")
            << int(korvex::MessageIcon::Information) << int(QMessageBox::Information);
        QTest::newRow("warning") << int(korvex::MessageIcon::Warning) << int(QMessageBox::Warning);
        QTest::newRow("error") << int(korvex::MessageIcon::Error) << int(QMessageBox::Critical);
        QTest::newRow("none") << int(korvex::MessageIcon::None) << int(QMessageBox::NoIcon);
    }
    void messageBoxShowsItsIcon()
    {
        QFETCH(int, kind);
        QFETCH(int, icon);
        QString seen;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            seen = QString::number(box->icon()) + u' ' + box->windowTitle() + u' ' + box->text();
            box->accept();
        });
        korvex::presentMessageBox(
            korvex::Message{"Un\rDeux", "Titre", static_cast<korvex::MessageIcon>(kind)}, nullptr);
        QCOMPARE(seen, QString::number(icon) + QStringLiteral(" Titre Un\nDeux"));
    }

    void settingsDialogOpensOverTheCalculator_data()
    {
        QTest::addColumn<QPoint>("calculatorAt");
        QTest::addColumn<bool>("cutAtTop"); // centring would put its top above the screen
        QTest::newRow("calculator low on the screen") << QPoint(40, 300) << false;
        QTest::newRow("calculator at the screen's top") << QPoint(0, 0) << true;
    }

    // "Taux" opens the dialog with no owner, centred over the calculator, yet whole on the screen;
    // its window is transient for the calculator's, which keeps it in front.
    void settingsDialogOpensOverTheCalculator()
    {
        QFETCH(QPoint, calculatorAt);
        QFETCH(bool, cutAtTop);
        Scene scene(u"main"_s);
        Calculator &calculator = scene.calculator;
        calculator.move(calculatorAt);
        QRect opened;
        QWidget *owner = &calculator;
        QWindow *transientFor = nullptr;
        calculator.setDialogRunner([&](QDialog &dialog) {
            dialog.show();
            QCoreApplication::processEvents();
            opened = dialog.frameGeometry();
            owner = dialog.parentWidget();
            transientFor = dialog.windowHandle()->transientParent();
            dialog.close();
        });
        calculator.findChild<QPushButton *>(u"Command2"_s)->click();
        QCOMPARE(owner, nullptr);
        QCOMPARE(transientFor, calculator.windowHandle());
        const QPoint offset = opened.center() - calculator.frameGeometry().center();
        QVERIFY(std::abs(offset.x()) <= 1);
        if (cutAtTop)
            QCOMPARE(opened.top(), calculator.screen()->availableGeometry().top());
        else
            QVERIFY(std::abs(offset.y()) <= 1);
    }
};

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    QApplication app(argc, argv);
    TestUiLooks test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_looks.moc"
