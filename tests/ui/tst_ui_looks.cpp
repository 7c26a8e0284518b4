// How the windows look: frames drawn where the layout places them, text that reads under a dark
// theme, small captions that stay legible, and where the settings dialog opens. Each window is
// built for real and looked at through its pixels.
#include "ui/about_window.h"
#include "ui/calculator.h"
#include "ui/help_window.h"
#include "ui/module1.h"
#include "ui/platform.h"
#include "ui/settings_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <map>
#include <memory>

using namespace korvex;
using namespace Qt::StringLiterals;

namespace {

// An empty program folder: no settings file is read or written.
class TestPlatform : public Platform
{
public:
    QString programDirectory() const override { return folder.path(); }
    QString userConfigDirectory() const override { return folder.path(); }
    QTemporaryDir folder;
};

// Holds whatever a window needs alive beside it.
struct Scene
{
    Module1 module;
    TestPlatform platform;
    std::unique_ptr<Calculator> calculator;
    std::unique_ptr<QWidget> window;
};

using Opener = std::function<void(Scene &)>;

Opener helpWindow()
{
    return [](Scene &s) { s.window = std::make_unique<FrmAide>(); };
}
Opener aboutWindow()
{
    return [](Scene &s) { s.window = std::make_unique<frmAbout>(s.platform); };
}
Opener settingsDialog()
{
    return [](Scene &s) {
        s.calculator = std::make_unique<Calculator>(s.module, s.platform);
        s.window = std::make_unique<Form1>(s.module.settings, s.platform.files(), *s.calculator);
    };
}
// The main window with the memory indicator and the unit label showing.
Opener mainWindow()
{
    return [](Scene &s) {
        auto calculator = std::make_unique<Calculator>(s.module, s.platform);
        calculator->findChild<QPushButton *>(u"Command10"_s)->click(); // MS
        calculator->findChild<QPushButton *>(u"Command4"_s)->click(); // Francs > Euro
        s.window = std::move(calculator);
    };
}

QImage shot(QWidget &window)
{
    window.show();
    QCoreApplication::processEvents();
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect inWindow(const QWidget &control, const QWidget &window)
{
    return {control.mapTo(&window, QPoint(0, 0)), control.size()};
}

// Relative luminance and contrast ratio as the accessibility guidelines define them.
double luminance(QColor colour)
{
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
        + 0.0722 * channel(colour.blueF());
}
double contrast(QColor a, QColor b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour that covers most of a box: the ground the text there is drawn on.
QColor groundOf(const QImage &image, QRect box)
{
    std::map<QRgb, int> counts;
    box &= image.rect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            ++counts[image.pixel(x, y)];
    return QColor(std::max_element(counts.begin(), counts.end(), [](auto &a, auto &b) {
        return a.second < b.second;
    })->first);
}

QPalette darkPalette()
{
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x2D, 0x2D, 0x2D));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    return dark;
}

// Each label's text colour and the ground under it, by name.
std::map<QString, std::pair<QColor, QColor>> labelColours(const Opener &open)
{
    Scene scene;
    open(scene);
    const QImage image = shot(*scene.window);
    std::map<QString, std::pair<QColor, QColor>> colours;
    for (QLabel *label : scene.window->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || !label->isVisible())
            continue;
        label->ensurePolished();
        colours[label->objectName()] = {label->palette().color(label->foregroundRole()),
            groundOf(image, inWindow(*label, *scene.window))};
    }
    return colours;
}

// Columns of a button's caption holding ink, as runs of [first, last] columns, left to right.
std::vector<std::pair<int, int>> inkRuns(QPushButton &button)
{
    const QImage image = button.grab().toImage();
    const int ground = qGray(image.pixel(4, image.height() / 2));
    std::vector<std::pair<int, int>> runs;
    for (int x = 4; x < image.width() - 4; ++x) {
        bool ink = false;
        for (int y = 4; y < image.height() - 4; ++y)
            ink = ink || qGray(image.pixel(x, y)) < ground - 70;
        if (ink && !runs.empty() && runs.back().second == x - 1)
            runs.back().second = x;
        else if (ink)
            runs.emplace_back(x, x);
    }
    return runs;
}

} // namespace

class TestUiLooks : public QObject
{
    Q_OBJECT

private slots:
    void framesSitOnTheirTop_data();
    void framesSitOnTheirTop();
    void textReadsOnADarkTheme_data();
    void textReadsOnADarkTheme();
    void ellipsesShowThreeDots_data();
    void ellipsesShowThreeDots();
    void creditLineClearsItsNeighbour();
    void settingsDialogOpensOverTheCalculator_data();
    void settingsDialogOpensOverTheCalculator();
};

void TestUiLooks::framesSitOnTheirTop_data()
{
    QTest::addColumn<Opener>("open");
    QTest::newRow("help window") << helpWindow();
    QTest::newRow("settings dialog") << settingsDialog();
}

// The caption starts at the frame's top; the border's dark line runs through the caption's middle
// with a light line under it; the caption overlaps no other control.
void TestUiLooks::framesSitOnTheirTop()
{
    QFETCH(Opener, open);
    Scene scene;
    open(scene);
    QWidget &window = *scene.window;
    const QImage image = shot(window);
    const int ground = qGray(window.palette().color(QPalette::Window).rgb());
    const auto frames = window.findChildren<QGroupBox *>();
    QVERIFY(!frames.isEmpty());
    for (QGroupBox *frame : frames) {
        const QRect box = inWindow(*frame, window);
        int border = box.top();
        while (border < box.bottom() && qGray(image.pixel(box.left() + 3, border)) > ground - 60)
            ++border;
        QVERIFY2(qGray(image.pixel(box.left() + 3, border + 1)) > ground,
            qPrintable(frame->objectName()));
        if (frame->title().isEmpty()) {
            QVERIFY(border - box.top() <= 7);
            continue;
        }
        QRect caption;
        for (int y = box.top() - 6; y < box.top() + 20; ++y)
            for (int x = box.left(); x < box.left() + 40; ++x)
                if (qGray(image.pixel(x, y)) < 90)
                    caption |= QRect(x, y, 1, 1);
        const QString where = frame->objectName() + u" caption "_s
            + QString::number(caption.top() - box.top()) + u".."_s
            + QString::number(caption.bottom() - box.top()) + u" border "_s
            + QString::number(border - box.top());
        QVERIFY2(caption.top() >= box.top() && caption.top() <= box.top() + 3, qPrintable(where));
        QVERIFY2(std::abs(2 * border - caption.top() - caption.bottom()) <= 3, qPrintable(where));
        for (QWidget *other : window.findChildren<QWidget *>()) {
            if (other != frame && !frame->isAncestorOf(other) && !other->isAncestorOf(frame)
                && other->isVisible())
                QVERIFY2(!inWindow(*other, window).intersects(caption),
                    qPrintable(where + u" overlaps "_s + other->objectName()));
        }
    }
}

void TestUiLooks::textReadsOnADarkTheme_data()
{
    QTest::addColumn<Opener>("open");
    QTest::newRow("main window") << mainWindow();
    QTest::newRow("help window") << helpWindow();
    QTest::newRow("About window") << aboutWindow();
    QTest::newRow("settings dialog") << settingsDialog();
}

// A label either looks exactly as on a light theme (a colour pair of the layout's own), or follows
// the dark theme and keeps a contrast of 4.5:1 against its ground.
void TestUiLooks::textReadsOnADarkTheme()
{
    QFETCH(Opener, open);
    const QPalette light = QApplication::palette();
    const auto onLight = labelColours(open);
    QApplication::setPalette(darkPalette());
    const auto onDark = labelColours(open);
    QApplication::setPalette(light);
    QCOMPARE(onDark.size(), onLight.size());
    for (const auto &[name, pair] : onDark) {
        const double ratio = contrast(pair.first, pair.second);
        const QString what = name + u" "_s + pair.first.name() + u" on "_s + pair.second.name()
            + u", contrast "_s + QString::number(ratio, 'f', 2);
        QVERIFY2(pair == onLight.at(name) || ratio >= 4.5, qPrintable(what));
    }
}

void TestUiLooks::ellipsesShowThreeDots_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Détails...") << u"Command1"_s;
    QTest::newRow("Système Info...") << u"cmdSysInfo"_s;
}

// The caption's last three marks are three dots apart from each other, each a few pixels wide.
void TestUiLooks::ellipsesShowThreeDots()
{
    QFETCH(QString, button);
    Scene scene;
    aboutWindow()(scene);
    shot(*scene.window);
    const auto runs = inkRuns(*scene.window->findChild<QPushButton *>(button));
    QString seen;
    for (const auto &[first, last] : runs)
        seen += u"%1-%2 "_s.arg(first).arg(last);
    QVERIFY2(runs.size() >= 4, qPrintable(seen));
    for (std::size_t i = runs.size() - 3; i < runs.size(); ++i)
        QVERIFY2(runs[i].second - runs[i].first <= 2, qPrintable(seen));
}

// The help window's credit line ends with bare ground before the frame beside it.
void TestUiLooks::creditLineClearsItsNeighbour()
{
    FrmAide help;
    shot(help);
    const QLabel *credit = help.findChild<QLabel *>(u"Label11"_s);
    const QWidget *frame = help.findChild<QWidget *>(u"Frame2"_s);
    QVERIFY2(credit->geometry().right() + 3 <= frame->geometry().left(),
        qPrintable(u"%1 %2"_s.arg(credit->geometry().right()).arg(frame->geometry().left())));
}

void TestUiLooks::settingsDialogOpensOverTheCalculator_data()
{
    QTest::addColumn<QPoint>("calculatorAt");
    QTest::addColumn<bool>("cutAtTop"); // centring would put its top above the screen
    QTest::newRow("calculator low on the screen") << QPoint(40, 300) << false;
    QTest::newRow("calculator at the screen's top") << QPoint(0, 0) << true;
}

// "Taux" opens the dialog with no owner, centred over the calculator, yet whole on the screen.
void TestUiLooks::settingsDialogOpensOverTheCalculator()
{
    QFETCH(QPoint, calculatorAt);
    QFETCH(bool, cutAtTop);
    Scene scene;
    Calculator calculator(scene.module, scene.platform);
    calculator.move(calculatorAt);
    calculator.show();
    QRect opened;
    QWidget *owner = &calculator;
    calculator.setDialogRunner([&](QDialog &dialog) {
        dialog.show();
        QCoreApplication::processEvents();
        opened = dialog.frameGeometry();
        owner = dialog.parentWidget();
        dialog.close();
    });
    calculator.findChild<QPushButton *>(u"Command2"_s)->click();
    QCOMPARE(owner, nullptr);
    const QPoint offset = opened.center() - calculator.frameGeometry().center();
    const QString seen = u"%1, %2"_s.arg(offset.x()).arg(offset.y());
    QVERIFY2(std::abs(offset.x()) <= 1, qPrintable(seen));
    if (cutAtTop)
        QCOMPARE(opened.top(), calculator.screen()->availableGeometry().top());
    else
        QVERIFY2(std::abs(offset.y()) <= 1, qPrintable(seen));
}

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    QApplication app(argc, argv);
    TestUiLooks test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_looks.moc"
