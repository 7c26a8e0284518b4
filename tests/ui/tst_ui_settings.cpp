// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/file_system.h"
#include "conversion/settings_file.h"
#include "tests/support/failing_calls.h"
#include "tests/support/fake_window.h"
#include "tests/support/folder.h"
#include "tests/support/golden.h"
#include "ui/settings_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <memory>

using namespace korvex;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::string)

namespace {

// The running settings as the program has them without a settings file, and the dialog over them.
struct Dialog
{
    Folder folder;
    FailingCalls calls;
    PosixFileSystem files{calls};
    FakeWindow host;
    Settings settings;
    std::unique_ptr<Form1> form;

    Dialog() { LoadSettings(settings, folder.path, files); }
    void open()
    {
        form = std::make_unique<Form1>(settings, files, host);
        form->show();
        QApplication::setActiveWindow(form.get());
    }
    template <typename Control = QWidget> Control *control(const QString &name) const
    {
        return form->findChild<Control *>(name);
    }
    QLineEdit *field(const QString &name) const { return control<QLineEdit>(name); }
    QString focused() const { return QApplication::focusWidget()->objectName(); }
    // Replaces a field's text by typing, as a user does.
    void retype(const QString &name, const QString &text) const
    {
        QLineEdit *target = field(name);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Home);
        QTest::keyClick(target, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(target, Qt::Key_Delete);
        QTest::keyClicks(target, text);
        QCOMPARE(target->text(), text);
    }
};

// A key with the text a platform gives it, where the test library would give another: X11 gives
// Delete the text DEL and Ctrl+V the character 22; some platforms give Ctrl+V no text at all.
class KeyWithText : public QTestEvent
{
public:
    KeyWithText(Qt::Key key, const QString &text, Qt::KeyboardModifiers modifiers)
        : m_key(key)
        , m_text(text)
        , m_modifiers(modifiers)
    {
    }
    void simulate(QWidget *widget) override
    {
        QTest::sendKeyEvent(QTest::Click, widget, m_key, m_text, m_modifiers);
    }
    QTestEvent *clone() const override { return new KeyWithText(*this); }

private:
    Qt::Key m_key;
    QString m_text;
    Qt::KeyboardModifiers m_modifiers;
};

const QString beyondDoubles = u"1"_s + QString(400, u'0');

} // namespace

class TestUiSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setAttribute(Qt::AA_Use96Dpi, true); }
    void opening_data();
    void opening();
    void windowFrame();
    void layoutMatchesGolden();
    void tabOrder_data();
    void tabOrder();
    void typing_data();
    void typing();
    void buttons_data();
    void buttons();
    void contextMenuPaste();
};

void TestUiSettings::opening_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("vat");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("selected");
    QTest::newRow("defaults, two decimals")
        << 6.55957 << 19.6 << 2 << u"6.55957"_s << u"19.6"_s << u"Option1"_s;
    QTest::newRow("unformatted, rate below 1")
        << 0.5 << 0.0 << 0 << u"0.5"_s << u"0"_s << u"Option4"_s;
    QTest::newRow("four decimals, large rate")
        << 1e20 << 5.5 << 4 << u"1e+20"_s << u"5.5"_s << u"Option3"_s;
    QTest::newRow("format 7 of an edited file selects none")
        << 6.55957 << 19.6 << 7 << u"6.55957"_s << u"19.6"_s << QString();
}

void TestUiSettings::opening()
{
    QFETCH(double, rate);
    QFETCH(double, vat);
    QFETCH(int, format);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(QString, selected);
    Dialog d;
    d.settings.ConversionRate = rate;
    d.settings.VatRate = vat;
    d.settings.ResultFormat = std::int16_t(format);
    d.open();
    QCOMPARE(d.field(u"Text1"_s)->text(), text1);
    QCOMPARE(d.field(u"Text2"_s)->text(), text2);
    for (const QString &name : {u"Option1"_s, u"Option2"_s, u"Option3"_s, u"Option4"_s})
        QCOMPARE(d.control<QRadioButton>(name)->isChecked(), name == selected);
    QCOMPARE(d.settings.ResultFormat, std::int16_t(format));
    QCOMPARE(d.focused(), u"Text1"_s);
}

void TestUiSettings::windowFrame()
{
    Dialog d;
    d.open();
    QCOMPARE(d.form->minimumSize(), d.form->maximumSize());
    const Qt::WindowFlags flags = d.form->windowFlags();
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!d.form->windowIcon().isNull());
    for (const QPushButton *button : d.form->findChildren<QPushButton *>())
        QVERIFY(!button->isDefault() && !button->autoDefault());
    const auto *image = d.control<QLabel>(u"Image1"_s);
    QVERIFY(image->hasScaledContents());
    QCOMPARE(image->pixmap().size(), QSize(32, 32));
}

void TestUiSettings::layoutMatchesGolden()
{
    Dialog d;
    d.open();
    compareWithGolden(describeWindow(*d.form), u"settings_dialog"_s);
}

void TestUiSettings::tabOrder_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QStringList>("stops"); // from Text1 on, one Tab each
    QTest::newRow("the selected option is the frame's one stop")
        << 2
        << QStringList{
               u"Command1"_s, u"Command2"_s, u"Command3"_s, u"Option1"_s, u"Text2"_s, u"Text1"_s};
    QTest::newRow("four decimals: Option3 is the frame's stop")
        << 4
        << QStringList{
               u"Command1"_s, u"Command2"_s, u"Command3"_s, u"Option3"_s, u"Text2"_s, u"Text1"_s};
    QTest::newRow("with none selected the first option is the stop")
        << 7
        << QStringList{
               u"Command1"_s, u"Command2"_s, u"Command3"_s, u"Option1"_s, u"Text2"_s, u"Text1"_s};
}

void TestUiSettings::tabOrder()
{
    QFETCH(int, format);
    QFETCH(QStringList, stops);
    Dialog d;
    d.settings.ResultFormat = std::int16_t(format);
    d.open();
    QStringList visited;
    for (qsizetype i = 0; i < stops.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << d.focused();
    }
    QCOMPARE(visited, stops);
}

void TestUiSettings::typing_data()
{
    QTest::addColumn<QTestEventList>("keys"); // sent to whatever has the focus, Text1 at first
    QTest::addColumn<QString>("text1");
    const auto keys = [](std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>> list) {
        QTestEventList events;
        for (const auto &[key, modifiers] : list)
            events.addKeyClick(key, modifiers);
        return events;
    };
    const Qt::KeyboardModifiers none;
    const auto selectAll = [&](const QString &then) {
        QTestEventList events = keys({{Qt::Key_Home, none}, {Qt::Key_End, Qt::ShiftModifier}});
        events.addKeyClicks(then);
        return events;
    };
    QTest::newRow("comma, letters, minus and blank are discarded")
        << keys({{Qt::Key_End, none}, {Qt::Key_Comma, none}, {Qt::Key_A, none},
               {Qt::Key_E, Qt::ShiftModifier}, {Qt::Key_Minus, none}, {Qt::Key_Space, none}})
        << u"6.55957"_s;
    QTest::newRow("digits and a period replace the selection") << selectAll(u"6.5"_s) << u"6.5"_s;
    QTest::newRow("any number of periods passes") << selectAll(u"6.55.957"_s) << u"6.55.957"_s;
    QTestEventList pasteKeys = keys(
        {{Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Home, none}, {Qt::Key_End, Qt::ShiftModifier},
            {Qt::Key_X, Qt::ControlModifier}, {Qt::Key_A, Qt::ControlModifier}});
    pasteKeys.append(new KeyWithText(Qt::Key_V, u"\x16"_s, Qt::ControlModifier));
    pasteKeys.append(new KeyWithText(Qt::Key_V, {}, Qt::ControlModifier));
    QTest::newRow("Ctrl+V, Ctrl+X and Ctrl+A are discarded") << pasteKeys << u"6.55957"_s;
    QTestEventList deleteKeys = keys({{Qt::Key_Home, none}});
    deleteKeys.append(new KeyWithText(Qt::Key_Delete, u"\x7f"_s, none));
    deleteKeys.addKeyClick(Qt::Key_End);
    deleteKeys.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("Delete and backspace still work") << deleteKeys << u".5595"_s;
    QTest::newRow("arrows, Home and End move the cursor") << keys(
        {{Qt::Key_Home, none}, {Qt::Key_Right, none}, {Qt::Key_1, none}, {Qt::Key_End, none},
            {Qt::Key_Left, none}, {Qt::Key_2, none}}) << u"61.559527"_s;
    QTest::newRow("Enter and Escape in a field do nothing") << keys(
        {{Qt::Key_End, none}, {Qt::Key_Return, none}, {Qt::Key_Enter, Qt::KeypadModifier},
            {Qt::Key_Escape, none}, {Qt::Key_8, none}}) << u"6.559578"_s;
    QTest::newRow("Enter and Escape on OK, cancel and an option do nothing") << keys(
        {{Qt::Key_Tab, none}, {Qt::Key_Return, none}, {Qt::Key_Escape, none}, {Qt::Key_Tab, none},
            {Qt::Key_Enter, Qt::KeypadModifier}, {Qt::Key_Escape, none}, {Qt::Key_Tab, none},
            {Qt::Key_Tab, none}, {Qt::Key_Return, none}, {Qt::Key_Escape, none}})
                                                                             << u"6.55957"_s;
}

// Nothing typed is applied: the dialog stays open and the settings keep their values.
void TestUiSettings::typing()
{
    QFETCH(QTestEventList, keys);
    QFETCH(QString, text1);
    QGuiApplication::clipboard()->setText(u"123"_s);
    Dialog d;
    d.open();
    keys.simulate(nullptr);
    QCOMPARE(d.field(u"Text1"_s)->text(), text1);
    QVERIFY(d.form->isVisible());
    QCOMPARE(d.settings.ConversionRate, 6.55957);
    QCOMPARE(d.settings.VatRate, 19.6);
    QCOMPARE(d.settings.ResultFormat, std::int16_t(2));
}

void TestUiSettings::buttons_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text1"); // typed over the field's text; null: left as shown
    QTest::addColumn<QString>("text2");
    QTest::addColumn<int>("option"); // N of OptionN clicked first, 0 for none
    QTest::addColumn<bool>("failing"); // the folder takes no new file
    QTest::addColumn<QStringList>("presses"); // buttons, or "close" for the window's close box
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("vat");
    QTest::addColumn<int>("resultFormat");
    QTest::addColumn<bool>("open");
    QTest::addColumn<std::string>("file");
    QTest::addColumn<int>("messages");
    const QString same;
    const QStringList ok{u"Command1"_s};
    const QStringList save{u"Command3"_s};
    const std::string saved("7.25\r\n4\r\n5.5\r\n");
    QTest::newRow("OK applies both fields and the option")
        << 2 << u"7.25"_s << u"5.5"_s << 3 << false << ok << 7.25 << 5.5 << 4 << false << noFile
        << 0;
    QTest::newRow("OK reads 6.55.957 as 6.55") << 2 << u"6.55.957"_s << same << 0 << false << ok
                                               << 6.55 << 19.6 << 2 << false << noFile << 0;
    QTest::newRow("OK with an emptied VAT gives 0")
        << 2 << same << QString(u""_s) << 0 << false << ok << 6.55957 << 0.0 << 2 << false << noFile
        << 0;
    QTest::newRow("OK keeps a format 7 that no option shows")
        << 7 << same << same << 0 << false << ok << 6.55957 << 19.6 << 7 << false << noFile << 0;
    QTest::newRow("OK beyond the double range stays open, nothing changes")
        << 2 << u"7.25"_s << beyondDoubles << 0 << false << ok << 6.55957 << 19.6 << 2 << true
        << noFile << 0;
    QTest::newRow("cancel puts back the settings at opening")
        << 2 << u"7.25"_s << u"5.5"_s << 3 << false << QStringList{u"Command2"_s} << 6.55957 << 19.6
        << 2 << false << noFile << 0;
    QTest::newRow("the close box drops the fields, keeps the option")
        << 2 << u"7.25"_s << u"5.5"_s << 3 << false << QStringList{u"close"_s} << 6.55957 << 19.6
        << 4 << false << noFile << 0;
    QTest::newRow("save applies, writes and stays open")
        << 2 << u"7.25"_s << u"5.5"_s << 3 << false << save << 7.25 << 5.5 << 4 << true << saved
        << 0;
    QTest::newRow("save then cancel: the file keeps the new values")
        << 2 << u"7.25"_s << u"5.5"_s << 3 << false << QStringList{u"Command3"_s, u"Command2"_s}
        << 6.55957 << 19.6 << 2 << false << saved << 0;
    QTest::newRow("save beyond the double range: message, nothing changes")
        << 2 << u"7.25"_s << beyondDoubles << 0 << false << save << 6.55957 << 19.6 << 2 << true
        << noFile << 1;
    QTest::newRow("failed save: message, values applied, no file")
        << 2 << u"7.25"_s << u"5.5"_s << 3 << true << save << 7.25 << 5.5 << 4 << true << noFile
        << 1;
}

void TestUiSettings::buttons()
{
    QFETCH(int, format);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(int, option);
    QFETCH(bool, failing);
    QFETCH(QStringList, presses);
    Dialog d;
    d.settings.ResultFormat = std::int16_t(format);
    d.calls.failing = failing ? u"open"_s : QString();
    d.open();
    if (!text1.isNull())
        d.retype(u"Text1"_s, text1);
    if (!text2.isNull())
        d.retype(u"Text2"_s, text2);
    if (option != 0) {
        auto *button = d.control<QRadioButton>(u"Option%1"_s.arg(option));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    for (const QString &press : presses) {
        if (press == u"close"_s)
            d.form->close();
        else
            QTest::mouseClick(d.control<QPushButton>(press), Qt::LeftButton);
    }
    QTEST(d.settings.ConversionRate, "rate");
    QTEST(d.settings.VatRate, "vat");
    QTEST(int(d.settings.ResultFormat), "resultFormat");
    QTEST(d.form->isVisible(), "open");
    QTEST(d.folder.read(), "file");
    QFETCH(int, messages);
    QCOMPARE(d.host.events, std::string(messages ? "S(0,) " : ""));
}

// Text put in by other means than typing is not filtered, and is read like a typed one.
void TestUiSettings::contextMenuPaste()
{
    QGuiApplication::clipboard()->setText(u"1,5 €"_s);
    Dialog d;
    d.open();
    QLineEdit *text1 = d.field(u"Text1"_s);
    text1->selectAll();
    const std::unique_ptr<QMenu> menu(text1->createStandardContextMenu());
    const QList<QAction *> actions = menu->actions();
    const auto paste = std::find_if(actions.begin(), actions.end(),
        [](const QAction *action) { return action->text().startsWith(u"&Paste"_s); });
    QVERIFY(paste != actions.end() && (*paste)->isEnabled());
    (*paste)->trigger();
    QCOMPARE(text1->text(), u"1,5 €"_s);
    QTest::mouseClick(d.control<QPushButton>(u"Command1"_s), Qt::LeftButton);
    QCOMPARE(d.settings.ConversionRate, 1.0);
    QVERIFY(!d.form->isVisible());
}

QTEST_MAIN(TestUiSettings)
#include "tst_ui_settings.moc"
