#include "conversion/settings_file.h"
#include "engine/calculator_state.h"
#include "engine/host.h"
#include "engine/number_entry.h"
#include "engine/operators.h"
#include "tst_ui_settings.h"
#include "tst_ui_windows.h"
#include "ui/calculator.h"
#include "ui/edit_menu.h"
#include "ui/key_map.h"
#include "ui/module1.h"
#include "ui/platform.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace korvex;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::string)

namespace {

// The real clipboard, an empty program folder, and a quit that is only counted.
class TestPlatform : public Platform
{
public:
    QString programDirectory() const override { return folder.path(); }
    bool isWritableDirectory(const QString &) const override { return writable; }
    QString userConfigDirectory() const override { return home.path() + u"/config/korvex"_s; }
    ClipboardOffer clipboardOffer() override
    {
        return clipboardReadable ? Platform::clipboardOffer() : ClipboardOffer::Unreadable;
    }
    std::optional<std::string> clipboardText() override
    {
        if (!clipboardReadable)
            return std::nullopt;
        return Platform::clipboardText();
    }
    void quit() override { ++quits; }

    QTemporaryDir folder;
    QTemporaryDir home;
    bool writable = true;
    bool clipboardReadable = true;
    int quits = 0;
};

struct Window
{
    Module1 module;
    TestPlatform platform;
    Calculator calculator{module, platform};
    std::vector<Message> messages;
    std::vector<QString> readoutsAtMessage;

    Window()
    {
        calculator.setMessagePresenter([this](const Message &message) {
            messages.push_back(message);
            readoutsAtMessage.push_back(label(u"Readout"_s)->text());
        });
        calculator.show();
        QApplication::setActiveWindow(&calculator);
        calculator.Form_Activate();
    }
    QPushButton *button(const QString &name) const
    {
        return calculator.findChild<QPushButton *>(name);
    }
    QLabel *label(const QString &name) const { return calculator.findChild<QLabel *>(name); }
    QAction *action(const QString &name) const { return calculator.findChild<QAction *>(name); }
    QPushButton *equals() const { return button(u"Operator4"_s); }
    QString readout() const { return label(u"Readout"_s)->text(); }
    // Types into whatever has the focus, as a user does.
    void type(const QString &keys)
    {
        for (const QChar key : keys) {
            QWidget *target = QApplication::focusWidget();
            if (key == u'\b')
                QTest::keyClick(target, Qt::Key_Backspace);
            else if (key == u'\r')
                QTest::keyClick(target, Qt::Key_Return);
            else if (key.unicode() >= 32 && key.unicode() < 128)
                QTest::keyClick(target, key.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(key), {});
        }
    }
};

// The engine alone, for comparison with the window.
struct Engine : Host
{
    CalculatorState state;
    Engine() { ResetCalculator(state); }
    void showMessage(const Message &) override { }
    void runLoadStep() override { ResetCalculator(state); }
    void moveFocusToEquals() override { }
};

} // namespace

class TestUi : public QObject
{
    Q_OBJECT

private slots:
    void keyMaps_data();
    void keyMaps();
    void windows1252Codes_data();
    void windows1252Codes();
    void windowFrame();
    void buttonLayout_data();
    void buttonLayout();
    void everyCaptionFits();
    void tabOrder();
    void tooltips();
    void typedLikeClicked_data();
    void typedLikeClicked();
    void focusReturnsToEquals();
    void enterAndEscapePerformEqualsOnce();
    void digitButtonMap();
    void decimalButtonKeyMessage();
    void messageBoxShowsItsMoment();
    void quitting_data();
    void quitting();
    void copyAndPaste();
    void pasteEnabledFollowsTheClipboard();
    void pasteShowsPlainText();
    void unreadableClipboardChangesNothing();
    void hugePasteStaysResponsive();
    void ownWindowsGiveTheFocusBack_data();
    void ownWindowsGiveTheFocusBack();
    void accessibleNames();
    void readoutAnnouncesItsChanges();
    void settingsFolder_data();
    void settingsFolder();
};

void TestUi::keyMaps_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("operatorCommand");
    QTest::addColumn<int>("operatorIndex");
    QTest::addColumn<int>("operatorCodeAfter");
    QTest::addColumn<int>("numberCommand");
    QTest::addColumn<int>("numberCodeAfter");
    const auto row = [](const char *name, int code, KeyCommand op, int index, int opAfter,
                         KeyCommand number, int numberAfter) {
        QTest::newRow(name) << code << int(op) << index << opAfter << int(number) << numberAfter;
    };
    using K = KeyCommand;
    row("digit", '7', K::Digit, 7, '7', K::Digit, '7');
    row("point becomes the comma", '.', K::Decimal, 0, 44, K::Decimal, 44);
    row("comma is accepted and does nothing", ',', K::None, 0, 44, K::None, 44);
    row("star multiplies", '*', K::Operator, 2, '*', K::Operator, '*');
    row("slash divides", '/', K::Operator, 0, '/', K::Operator, '/');
    row("plus", '+', K::Operator, 1, '+', K::Operator, '+');
    row("minus", '-', K::Operator, 3, '-', K::Operator, '-');
    row("equals sign only on operators", '=', K::Operator, 4, '=', K::None, 0);
    row("enter is equals on both", 13, K::Operator, 4, 13, K::Operator, 13);
    row("backspace only on operators", 8, K::Backspace, 0, 8, K::None, 0);
    row("percent", '%', K::Percent, 0, '%', K::Percent, '%');
    row("clear", 'c', K::Cancel, 0, 'c', K::Cancel, 'c');
    row("clear entry", 'E', K::CancelEntry, 0, 'E', K::CancelEntry, 'E');
    row("sign change", 'n', K::Negate, 0, 'n', K::Negate, 'n');
    row("square root", 'V', K::SquareRoot, 0, 'V', K::SquareRoot, 'V');
    row("square", 'x', K::Square, 0, 'x', K::Square, 'x');
    row("inverse only on operators", 'i', K::Inverse, 0, 'i', K::None, 0);
    row("pi only on operators", 'P', K::Pi, 0, 'P', K::None, 0);
    row("sine only on operators", 's', K::Sine, 0, 's', K::None, 0);
    row("cosine only on operators", 'O', K::Cosine, 0, 'O', K::None, 0);
    row("tangent only on operators", 't', K::Tangent, 0, 't', K::None, 0);
    row("F quits only on operators", 'F', K::Quit, 0, 'F', K::None, 0);
    row("q quits only on operators", 'q', K::Quit, 0, 'q', K::None, 0);
    row("unlisted letter", 'a', K::None, 0, 0, K::None, 0);
    row("accented letter", 0xE9, K::None, 0, 0, K::None, 0);
    row("space", ' ', K::None, 0, 0, K::None, 0);
    row("escape", 27, K::None, 0, 0, K::None, 0);
    row("control F is no F", 6, K::None, 0, 0, K::None, 0);
}

void TestUi::keyMaps()
{
    QFETCH(int, code);
    QFETCH(int, operatorCommand);
    QFETCH(int, operatorIndex);
    QFETCH(int, operatorCodeAfter);
    QFETCH(int, numberCommand);
    QFETCH(int, numberCodeAfter);
    int operatorCode = code;
    const KeyAction onOperator = OperatorKeyMap(operatorCode);
    QCOMPARE(int(onOperator.command), operatorCommand);
    QCOMPARE(int(onOperator.index), operatorIndex);
    QCOMPARE(operatorCode, operatorCodeAfter);
    int numberCode = code;
    QCOMPARE(int(NumberKeyMap(numberCode).command), numberCommand);
    QCOMPARE(numberCode, numberCodeAfter);
}

void TestUi::windows1252Codes_data()
{
    QTest::addColumn<uint>("character");
    QTest::addColumn<int>("code");
    QTest::newRow("ascii letter") << uint('A') << 65;
    QTest::newRow("control character") << 3u << 3;
    QTest::newRow("euro sign") << 0x20ACu << 128;
    QTest::newRow("latin small e acute") << 0xE9u << 233;
    QTest::newRow("pilcrow") << 0xB6u << 182;
    QTest::newRow("right single quote") << 0x2019u << 146;
    QTest::newRow("y diaeresis capital") << 0x178u << 159;
    QTest::newRow("greek pi is outside") << 0x3C0u << 63;
    QTest::newRow("C1 control is outside") << 0x81u << 63;
    QTest::newRow("emoji is outside") << 0x1F600u << 63;
}

void TestUi::windows1252Codes()
{
    QFETCH(uint, character);
    QFETCH(int, code);
    QCOMPARE(Windows1252Code(char32_t(character)), code);
}

void TestUi::windowFrame()
{
    Window w;
    QCOMPARE(w.calculator.windowTitle(), u"Calculatrice et Conversion Francs/Euros"_s);
    QCOMPARE(w.calculator.centralWidget()->size(), QSize(505, 200));
    QCOMPARE(w.calculator.minimumSize(), w.calculator.maximumSize());
    QVERIFY(!(w.calculator.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.calculator.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!w.calculator.windowIcon().isNull());
    QCOMPARE(w.calculator.windowIcon().availableSizes().value(0), QSize(32, 32));
    // The menu bar is above the client area, whatever its height.
    QCOMPARE(w.calculator.height(), 200 + w.calculator.menuWidget()->height());
    for (const auto &[name, text] : {std::pair{u"Mnu_Fichier"_s, u"&Fichier"_s},
             {u"Mnu_Edition"_s, u"&Edition"_s}, {u"Mnu_Aide"_s, u"?"_s}})
        QCOMPARE(w.calculator.findChild<QMenu *>(name)->title(), text);
    QCOMPARE(w.action(u"MnuQuitter"_s)->shortcut(), QKeySequence(u"Ctrl+Q"_s));
    QCOMPARE(w.action(u"Mnu_Copier"_s)->text(), u"&Copier"_s);
    QCOMPARE(w.action(u"Mnu_Copier"_s)->shortcut(), QKeySequence(u"Ctrl+C"_s));
    QCOMPARE(w.action(u"Mnu_Coller"_s)->text(), u"Co&ller"_s);
    QCOMPARE(w.action(u"Mnu_Coller"_s)->shortcut(), QKeySequence(u"Ctrl+V"_s));
    const QList<QAction *> help = w.calculator.findChild<QMenu *>(u"Mnu_Aide"_s)->actions();
    QCOMPARE(help.size(), 3);
    QCOMPARE(help[0]->text(), u"Aide"_s);
    QVERIFY(help[1]->isSeparator());
    QCOMPARE(help[2]->text(), u"A propos"_s);
    QCOMPARE(w.readout(), u"0,"_s);
    QVERIFY(w.label(u"Label1"_s)->text().isEmpty());
    QVERIFY(w.label(u"Label2"_s)->text().isEmpty());
    QCOMPARE(w.label(u"Readout"_s)->geometry(), QRect(56, 7, 312, 24));
    QCOMPARE(w.label(u"Label2"_s)->geometry(), QRect(8, 16, 33, 19));
}

void TestUi::buttonLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    const auto row = [](const QString &name, const QString &caption, QRect twips, qreal points,
                         bool bold) {
        QTest::newRow(qPrintable(name)) << name << caption << twips << points << bold;
    };
    row(u"Command21"_s, u"A propos"_s, {6480, 1800, 975, 495}, 8.25, true);
    row(u"Command20"_s, u"TTC > HT"_s, {5280, 2400, 1095, 480}, 8.25, true);
    row(u"Command19"_s, u"HT > TTC"_s, {5280, 1800, 1095, 480}, 8.25, true);
    row(u"Command18"_s, u"Tan"_s, {4680, 1800, 495, 480}, 8.25, true);
    row(u"Command15"_s, u"¶"_s, {4680, 2400, 495, 480}, 18, false);
    row(u"Command14"_s, u"Fin"_s, {6480, 2400, 975, 480}, 9.75, true);
    row(u"Command11"_s, u"M+"_s, {120, 2400, 515, 480}, 9.75, true);
    row(u"Command5"_s, u"V²"_s, {4080, 1800, 480, 480}, 9.75, true);
    row(u"Command4"_s, u"Francs > Euro"_s, {5280, 1200, 1095, 480}, 8.25, true);
    row(u"Command3"_s, u"Euro  > Francs"_s, {5280, 600, 1095, 480}, 8.25, true);
    row(u"Command1"_s, u"x²"_s, {4080, 1200, 480, 480}, 9.75, true);
    row(u"Number0"_s, u"0"_s, {840, 2400, 480, 480}, 12, false);
    row(u"Number5"_s, u"5"_s, {1440, 1200, 480, 480}, 12, false);
    row(u"Number9"_s, u"9"_s, {2040, 600, 480, 480}, 12, false);
    row(u"Number1"_s, u"1"_s, {840, 1800, 480, 480}, 12, false);
    row(u"Operator0"_s, u"/"_s, {2760, 2400, 480, 480}, 9.75, true);
    row(u"Operator1"_s, u"+"_s, {2760, 600, 480, 480}, 12, true);
    row(u"Operator2"_s, u"X"_s, {2760, 1800, 480, 480}, 9.75, true);
    row(u"Operator3"_s, u"-"_s, {2760, 1200, 480, 480}, 12, true);
    row(u"Operator4"_s, u"="_s, {3360, 2400, 480, 480}, 12, true);
    row(u"Cancel"_s, u"C"_s, {3360, 600, 480, 480}, 9.75, true);
    row(u"CancelEntry"_s, u"CE"_s, {3360, 1200, 480, 480}, 9.75, true);
    row(u"Decimal"_s, u","_s, {1440, 2400, 480, 480}, 12, true);
    row(u"Percent"_s, u"%"_s, {4080, 2400, 480, 480}, 9.75, true);
}

void TestUi::buttonLayout()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    Window w;
    const QPushButton *button = w.button(name);
    QVERIFY(button != nullptr);
    QCOMPARE(button->text().replace(u'\n', u' '), caption);
    const QRect pixels(qRound(twips.x() / 15.0), qRound(twips.y() / 15.0),
        qRound(twips.width() / 15.0), qRound(twips.height() / 15.0));
    QCOMPARE(button->geometry(), pixels);
    QCOMPARE(button->font().pointSizeF(), points);
    QCOMPARE(button->font().bold(), bold);
}

void TestUi::everyCaptionFits()
{
    Window w;
    const QList<QPushButton *> buttons = w.calculator.findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 40);
    for (const QPushButton *button : buttons) {
        const QFontMetrics metrics = button->fontMetrics();
        const QStringList lines = button->text().split(u'\n');
        for (const QString &line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= button->width() - 4,
                qPrintable(button->objectName() + u": "_s + line));
        QVERIFY2(int(lines.size()) * metrics.lineSpacing() <= button->height() - 4,
            qPrintable(button->objectName()));
    }
    // The two long conversion captions break after the ">".
    QCOMPARE(w.button(u"Command3"_s)->text(), u"Euro  >\nFrancs"_s);
    QCOMPARE(w.button(u"Command4"_s)->text(), u"Francs >\nEuro"_s);
}

void TestUi::tabOrder()
{
    Window w;
    const QStringList expected{u"Number0"_s, u"Number1"_s, u"Number2"_s, u"Number3"_s, u"Number4"_s,
        u"Number5"_s, u"Number6"_s, u"Number7"_s, u"Number8"_s, u"Number9"_s, u"Cancel"_s,
        u"CancelEntry"_s, u"Operator1"_s, u"Operator3"_s, u"Operator2"_s, u"Operator0"_s,
        u"Operator4"_s, u"Percent"_s, u"Decimal"_s, u"Command1"_s, u"Command2"_s, u"Command3"_s,
        u"Command4"_s, u"Command5"_s, u"Command6"_s, u"Command7"_s, u"Command8"_s, u"Command9"_s,
        u"Command10"_s, u"Command11"_s, u"Command12"_s, u"Command13"_s, u"Command14"_s,
        u"Command15"_s, u"Command16"_s, u"Command17"_s, u"Command18"_s, u"Command19"_s,
        u"Command20"_s, u"Command21"_s};
    QStringList visited;
    QWidget *widget = w.button(u"Number0"_s);
    for (int i = 0; i < expected.size(); ++i) {
        visited << widget->objectName();
        widget = widget->nextInFocusChain();
        while (qobject_cast<QPushButton *>(widget) == nullptr)
            widget = widget->nextInFocusChain();
    }
    QCOMPARE(visited, expected);
}

void TestUi::tooltips()
{
    Window w;
    const std::vector<std::pair<QString, QString>> expected{
        {u"Command2"_s, u"Paramétrage du taux de conversion, du format du résultat et %T.V.A."_s},
        {u"Command4"_s, u"Conversion de la valeur affichée de Francs en Euro"_s},
        {u"Command3"_s, u"Conversion de la valeur affichée d'Euro en Francs"_s},
        {u"Command7"_s, u"Aide sur les commandes au clavier"_s},
        {u"Command8"_s, u"Efface la mémoire"_s}, {u"Command9"_s, u"Rappelle la mémoire M =  0"_s},
        {u"Command10"_s, u"Mise en mémoire du nombre affiché"_s},
        {u"Command11"_s, u"Ajoute le nombre affiché au nombre déjà en mémoire"_s},
        {u"Command12"_s, u"Retour arrière"_s}, {u"Command14"_s, u"Quitter la calculatrice"_s},
        {u"Command19"_s, u"Calcule le prix T.T.C. de la valeur affichée en prix H.T."_s},
        {u"Command20"_s, u"Calcule le prix H.T. de la valeur affichée en prix T.T.C."_s}};
    int withTooltip = 0;
    for (const QPushButton *button : w.calculator.findChildren<QPushButton *>())
        withTooltip += button->toolTip().isEmpty() ? 0 : 1;
    QCOMPARE(withTooltip, 12);
    for (const auto &[name, tip] : expected)
        QCOMPARE(w.button(name)->toolTip(), tip);
}

void TestUi::typedLikeClicked_data()
{
    // Typed keys, and the same sequence as engine buttons (see press() below).
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::string>("buttons");
    QTest::addColumn<QString>("readout");
    const auto row = [](const char *name, const QString &typed, const char *buttons,
                         const QString &readout) {
        QTest::newRow(name) << typed << std::string(buttons) << readout;
    };
    row("addition with enter", u"12+3\r"_s, "12+3=", u"15"_s);
    row("point is the comma", u"1.5+2.25="_s, "1,5+2,25=", u"3,75"_s);
    row("comma key does nothing", u"1,5"_s, "15", u"15,"_s);
    row("star multiplies", u"2+3*4="_s, "2+3X4=", u"20"_s);
    row("sign change key", u"12n"_s, "12N", u"-12"_s);
    row("backspace key", u"1.5\b7"_s, "1,5<7", u"1,7"_s);
    row("clear and clear entry keys", u"5+3e4=c7"_s, "5+3E4=C7", u"7,"_s);
    row("upper case clear", u"5+3C"_s, "5+3C", u"0,"_s);
    row("percent", u"200+5%="_s, "200+5%=", u"10"_s);
    row("minus chain", u"5+-3-2="_s, "5+-3-2=", u"0"_s);
    row("division by zero", u"8/0=2="_s, "8/0=2=", u"2"_s);
    row("count three", u"200*5%3=+2="_s, "200X5%3=+2=", u"2,"_s);
    row("lone minus resets", u"5*--3="_s, "5X--3=", u"0,"_s);
    row("unlisted keys are cancelled", u"1az2é"_s, "12", u"12,"_s);
    row("control letters are no letters", u"5+3\x06\x11\x03="_s, "5+3=", u"8"_s);
}

void TestUi::typedLikeClicked()
{
    QFETCH(QString, typed);
    QFETCH(std::string, buttons);
    QFETCH(QString, readout);
    Window w;
    w.type(typed);
    QCOMPARE(w.readout(), readout);
    QCOMPARE(QApplication::focusWidget(), w.equals());

    Engine engine;
    for (char key : buttons) {
        if (key >= '0' && key <= '9')
            Number_Click(engine.state, engine, std::int16_t(key - '0'));
        else if (key == ',')
            Decimal_Click(engine.state, engine);
        else if (key == '%')
            Percent_Click(engine.state, engine);
        else if (key == 'C')
            Cancel_Click(engine.state, engine);
        else if (key == 'E')
            CancelEntry_Click(engine.state, engine);
        else if (key == 'N')
            Command6_Click(engine.state, engine);
        else if (key == '<')
            Command12_Click(engine.state, engine);
        else
            Operator_Click(engine.state, engine, std::int16_t(std::string_view("/+X-=").find(key)));
    }
    QCOMPARE(w.calculator.state().readout, engine.state.readout);
    QCOMPARE(w.calculator.state().InputState, engine.state.InputState);
    QCOMPARE(w.calculator.state().PendingOperator, engine.state.PendingOperator);
    QCOMPARE(w.calculator.state().OperandCount, engine.state.OperandCount);
}

void TestUi::focusReturnsToEquals()
{
    Window w;
    const QStringList buttons{u"Number7"_s, u"Decimal"_s, u"Command6"_s, u"Command12"_s,
        u"Operator1"_s, u"Operator2"_s, u"Percent"_s, u"Cancel"_s, u"CancelEntry"_s, u"Command1"_s,
        u"Command5"_s, u"Command13"_s, u"Command15"_s, u"Command16"_s, u"Command17"_s,
        u"Command18"_s, u"Command8"_s, u"Command9"_s, u"Command10"_s, u"Command11"_s, u"Command3"_s,
        u"Command4"_s, u"Command19"_s, u"Command20"_s};
    for (const QString &name : buttons) {
        QTest::mouseClick(w.button(name), Qt::LeftButton);
        QVERIFY2(QApplication::focusWidget() == w.equals(), qPrintable(name));
    }
    for (const QString &item : {u"Mnu_Copier"_s, u"Mnu_Coller"_s}) {
        w.button(u"Number4"_s)->setFocus();
        w.action(item)->trigger();
        QVERIFY2(QApplication::focusWidget() == w.equals(), qPrintable(item));
    }
    // A button reached with Tab keeps the focus until the next action.
    QTest::keyClick(w.equals(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.button(u"Percent"_s));
}

void TestUi::enterAndEscapePerformEqualsOnce()
{
    Window w;
    QSignalSpy equalsPresses(w.equals(), &QPushButton::clicked);
    w.type(u"2+3"_s);
    QTest::keyClick(w.equals(), Qt::Key_Return);
    QCOMPARE(equalsPresses.count(), 1);
    QCOMPARE(w.readout(), u"5"_s);
    QTest::keyClick(w.equals(), Qt::Key_Enter);
    QCOMPARE(equalsPresses.count(), 2);

    // Escape performs "=" wherever the focus is.
    w.type(u"c4*"_s);
    w.button(u"Command8"_s)->setFocus();
    w.type(u"2"_s);
    QCOMPARE(w.readout(), u"4,"_s); // typed on a button without keys: nothing
    w.button(u"Number3"_s)->setFocus();
    QTest::keyClick(w.button(u"Number3"_s), Qt::Key_Escape);
    QCOMPARE(equalsPresses.count(), 3);
    QCOMPARE(w.readout(), u"4,"_s);
    QCOMPARE(w.calculator.state().PendingOperator, std::string("="));

    // Enter on any button but "=" and the digits presses that button.
    w.type(u"9"_s);
    w.button(u"Command10"_s)->setFocus();
    QTest::keyClick(w.button(u"Command10"_s), Qt::Key_Return);
    QCOMPARE(w.label(u"Label2"_s)->text(), u"M"_s);
    w.type(u"c2"_s);
    w.button(u"Operator1"_s)->setFocus();
    QTest::keyClick(w.button(u"Operator1"_s), Qt::Key_Return);
    QCOMPARE(w.calculator.state().PendingOperator, std::string("+"));
    w.type(u"3"_s);
    w.button(u"Decimal"_s)->setFocus();
    QTest::keyClick(w.button(u"Decimal"_s), Qt::Key_Enter);
    QVERIFY(w.messages.empty()); // the comma itself, not its key message
    QCOMPARE(w.readout(), u"3,"_s);
    QCOMPARE(w.calculator.state().DecimalEntered, true);
    QCOMPARE(equalsPresses.count(), 3);
    // Control with a letter is no letter, even where the platform leaves the letter as text.
    QTest::keyClick(w.equals(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(w.equals(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(w.platform.quits, 0);
    QCOMPARE(w.readout(), u"3,"_s);
}

void TestUi::digitButtonMap()
{
    Window w;
    w.type(u"12+3"_s);
    w.button(u"Number5"_s)->setFocus();
    QTest::keyClicks(w.button(u"Number5"_s), u"qFipsot="_s);
    QTest::keyClick(w.button(u"Number5"_s), Qt::Key_Backspace);
    QTest::keyClick(w.button(u"Number5"_s), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(w.platform.quits, 0);
    QCOMPARE(w.readout(), u"3,"_s);
    QCOMPARE(QApplication::focusWidget(), w.button(u"Number5"_s));
    // Enter on a digit button follows its map: "=", not the digit.
    QTest::keyClick(w.button(u"Number5"_s), Qt::Key_Return);
    QCOMPARE(w.readout(), u"15"_s);
    QCOMPARE(QApplication::focusWidget(), w.equals());
}

void TestUi::decimalButtonKeyMessage()
{
    Window w;
    w.button(u"Decimal"_s)->setFocus();
    QTest::keyClick(w.button(u"Decimal"_s), '7');
    QCOMPARE(w.messages.size(), std::size_t(1));
    QCOMPARE(w.messages[0], (Message{"55", " 55", MessageIcon::None}));
    QCOMPARE(w.readout(), u"0,"_s);
    QCOMPARE(QApplication::focusWidget(), w.button(u"Decimal"_s));
}

void TestUi::messageBoxShowsItsMoment()
{
    Window w;
    w.type(u"8/0="_s);
    QCOMPARE(w.messages.size(), std::size_t(1));
    QCOMPARE(w.messages[0], DivisionByZeroMessage);
    QCOMPARE(w.readoutsAtMessage[0], u"0,"_s); // the divisor, while the box is open
    QCOMPARE(w.readout(), u"8,"_s);
    w.type(u"5*--3="_s);
    QCOMPARE(w.messages.back(), OverflowMessage);
    QCOMPARE(w.readoutsAtMessage.back(), u"-3,"_s);
    QCOMPARE(w.readout(), u"0,"_s);
}

void TestUi::quitting_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("F on equals") << u"F"_s;
    QTest::newRow("q on equals") << u"q"_s;
    QTest::newRow("Fin button") << u"Command14"_s;
    QTest::newRow("Quitter menu item") << u"MnuQuitter"_s;
    QTest::newRow("control Q") << u"ctrl"_s;
    QTest::newRow("close box") << u"close"_s;
}

void TestUi::quitting()
{
    QFETCH(QString, how);
    Window w;
    w.type(u"12+3"_s);
    if (how.size() == 1)
        w.type(how);
    else if (how == u"Command14"_s)
        QTest::mouseClick(w.button(how), Qt::LeftButton);
    else if (how == u"MnuQuitter"_s)
        w.action(how)->trigger();
    else if (how == u"ctrl"_s)
        QTest::keyClick(w.equals(), Qt::Key_Q, Qt::ControlModifier);
    else
        w.calculator.close();
    QCOMPARE(w.platform.quits, 1);
    QVERIFY(w.messages.empty());
    QVERIFY(QDir(w.platform.folder.path()).isEmpty()); // nothing written
}

void TestUi::copyAndPaste()
{
    Window w;
    QTest::keyClick(w.equals(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"0,"_s);
    w.type(u"12+7"_s);
    QTest::keyClick(w.equals(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"7,"_s);
    QCOMPARE(w.readout(), u"7,"_s); // Ctrl+C copies, it does not clear
    QCOMPARE(w.calculator.state().PendingOperator, std::string("+"));

    QGuiApplication::clipboard()->setText(u"12,5"_s);
    const CalculatorState before = w.calculator.state();
    QTest::keyClick(w.equals(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.readout(), u"12,5"_s);
    QCOMPARE(w.calculator.state().InputState, std::string("NUMS"));
    QCOMPARE(w.calculator.state().PendingOperator, before.PendingOperator);
    QCOMPARE(w.calculator.state().OperandCount, before.OperandCount);
    QCOMPARE(w.calculator.state().DecimalEntered, before.DecimalEntered);
    w.type(u"="_s);
    QCOMPARE(w.readout(), u"24,5"_s);
}

void TestUi::pasteEnabledFollowsTheClipboard()
{
    Window w;
    QMenu *edition = w.calculator.findChild<QMenu *>(u"Mnu_Edition"_s);
    QAction *coller = w.action(u"Mnu_Coller"_s);
    QGuiApplication::clipboard()->setText(u"7,"_s);
    emit edition->aboutToShow();
    QVERIFY(coller->isEnabled());
    QGuiApplication::clipboard()->clear();
    QVERIFY(coller->isEnabled()); // recomputed only when the menu opens
    emit edition->aboutToShow();
    QVERIFY(!coller->isEnabled());
    w.type(u"5"_s);
    QTest::keyClick(w.equals(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.readout(), u"5,"_s); // a disabled item's shortcut does nothing
    QGuiApplication::clipboard()->setText(u"9"_s);
    QTest::keyClick(w.equals(), Qt::Key_V, Qt::ControlModifier); // decides afresh
    QCOMPARE(w.readout(), u"9"_s);
}

void TestUi::pasteShowsPlainText()
{
    Window w;
    QGuiApplication::clipboard()->setText(u"<b>x</b>"_s);
    w.action(u"Mnu_Coller"_s)->trigger();
    QCOMPARE(w.readout(), u"<b>x</b>"_s);
    QCOMPARE(w.label(u"Readout"_s)->textFormat(), Qt::PlainText);
    w.type(u"x"_s);
    QCOMPARE(w.messages.size(), std::size_t(1)); // the square of a text fails
    QCOMPARE(w.readout(), u"<b>x</b>"_s);
}

void TestUi::unreadableClipboardChangesNothing()
{
    Window w;
    w.type(u"42"_s);
    w.platform.clipboardReadable = false;
    w.action(u"Mnu_Coller"_s)->trigger();
    QCOMPARE(w.readout(), u"42,"_s);
    emit w.calculator.findChild<QMenu *>(u"Mnu_Edition"_s)->aboutToShow();
    QVERIFY(!w.action(u"Mnu_Coller"_s)->isEnabled());
}

void TestUi::hugePasteStaysResponsive()
{
    Window w;
    const QString huge = QString(1 << 20, u'7') + u"€"_s;
    QGuiApplication::clipboard()->setText(huge);
    w.action(u"Mnu_Coller"_s)->trigger();
    QCOMPARE(w.calculator.state().readout.size(), std::size_t((1 << 20) + 3));
    QVERIFY(w.readout().endsWith(u"77€"_s));
    QVERIFY(w.readout().size() < 1000);
    w.calculator.grab(); // paints the readout
    w.type(u"\b"_s);
    QVERIFY(w.readout().endsWith(u"777"_s));
    QCOMPARE(w.calculator.state().readout.size(), std::size_t(1 << 20));
}

void TestUi::ownWindowsGiveTheFocusBack_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("title");
    QTest::newRow("help from the ? button") << u"Command7"_s << u"Aide"_s;
    QTest::newRow("help from the menu") << u"Mnu_AideClavier"_s << u"Aide"_s;
    QTest::newRow("about from its button") << u"Command21"_s << u"A propos Korvex"_s;
    QTest::newRow("about from the menu") << u"Mnu_APropos"_s << u"A propos Korvex"_s;
    QTest::newRow("settings from Taux") << u"Command2"_s << u"Taux de conversion et T.V.A."_s;
}

void TestUi::ownWindowsGiveTheFocusBack()
{
    QFETCH(QString, opener);
    QFETCH(QString, title);
    Window w;
    QStringList opened;
    w.calculator.setDialogRunner([&opened](QDialog &dialog) { opened << dialog.windowTitle(); });
    w.type(u"12"_s);
    w.button(u"Number4"_s)->setFocus(); // reached with Tab, say
    if (QPushButton *button = w.button(opener))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        w.action(opener)->trigger();
    QCOMPARE(opened, QStringList{title});
    QCOMPARE(QApplication::focusWidget(), w.equals());
    QCOMPARE(w.readout(), u"12,"_s);
}

void TestUi::accessibleNames()
{
    Window w;
    const std::vector<std::pair<QString, QString>> expected{{u"Command5"_s, u"Racine carrée"_s},
        {u"Command15"_s, u"Pi"_s}, {u"Operator2"_s, u"Multiplier"_s},
        {u"Command12"_s, u"Retour arrière"_s}, {u"Cancel"_s, u"Effacer"_s}, {u"Number7"_s, u"7"_s},
        {u"Command3"_s, u"Euros en francs"_s}};
    for (const auto &[name, spoken] : expected) {
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(w.button(name));
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), spoken);
    }
    // Every button says something a listener can use.
    for (QPushButton *button : w.calculator.findChildren<QPushButton *>())
        QVERIFY(!QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name).isEmpty());
    w.type(u"12"_s);
    QAccessibleInterface *readout = QAccessible::queryAccessibleInterface(w.label(u"Readout"_s));
    QCOMPARE(readout->text(QAccessible::Name), u"12,"_s);
    QCOMPARE(QAccessible::queryAccessibleInterface(w.label(u"Label1"_s))->text(QAccessible::Name),
        u"Unité"_s);
    QCOMPARE(QAccessible::queryAccessibleInterface(w.label(u"Label2"_s))->text(QAccessible::Name),
        u"Indicateur de mémoire"_s);
}

void TestUi::readoutAnnouncesItsChanges()
{
    // A label announces a new text only while it has no fixed accessible name: the readout must
    // keep none, so its name is always the number shown.
    Window w;
    QLabel *readout = w.label(u"Readout"_s);
    QVERIFY(readout->accessibleName().isEmpty());
    QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(readout);
    QCOMPARE(shown->role(), QAccessible::StaticText);
    for (const QString &keys : {u"4"_s, u"+5"_s, u"="_s}) {
        w.type(keys);
        QCOMPARE(shown->text(QAccessible::Name), readout->text());
    }
    QCOMPARE(shown->text(QAccessible::Name), u"9"_s);
    QVERIFY(!shown->text(QAccessible::Description).isEmpty());
}

void TestUi::settingsFolder_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("fileBesideProgram");
    QTest::addColumn<bool>("besideProgram");
    QTest::newRow("portable copy in a folder it may write") << true << false << true;
    QTest::newRow("portable copy with its file, folder read-only") << false << true << true;
    QTest::newRow("installed program") << false << false << false;
}

// An installed program cannot write beside itself: it keeps its settings in the user's folder,
// made by the first save, with the same file.
void TestUi::settingsFolder()
{
    QFETCH(bool, writable);
    QFETCH(bool, fileBesideProgram);
    QFETCH(bool, besideProgram);
    Module1 module;
    TestPlatform platform;
    platform.writable = writable;
    const QString besideFile = platform.folder.path() + u"/Korvex.cfg"_s;
    if (fileBesideProgram) {
        QFile file(besideFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("7\r\n3\r\n5.5\r\n");
    }
    Calculator calculator(module, platform);
    const QString expected =
        besideProgram ? platform.folder.path() : platform.userConfigDirectory();
    QCOMPARE(QString::fromStdString(module.settings.SettingsDirectory), expected + u'/');
    QCOMPARE(module.settings.ConversionRate, fileBesideProgram ? 7.0 : 6.55957);
    QVERIFY(!QDir(platform.userConfigDirectory()).exists()); // loading makes nothing

    module.settings.ConversionRate = 8;
    QVERIFY(SaveSettings(module.settings, platform.files()));
    QFile saved(expected + u"/Korvex.cfg"_s);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith("8\r\n"));
}

// The main window's tests, then those of the settings, help and About windows.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    TestUi test;
    int failures = QTest::qExec(&test, argc, argv);
    failures += runSettingsTests(argc, argv);
    return failures + runWindowTests(argc, argv);
}
#include "tst_ui.moc"
