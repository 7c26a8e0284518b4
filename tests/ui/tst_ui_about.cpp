// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/dialogs.h"
#include "tests/support/golden.h"
#include "tests/support/keypad.h"
#include "tests/support/test_platform.h"
#include "ui/about_window.h"
#include "ui/sys_info.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace korvex;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(korvex::Closing)

namespace {

// The window, with its messages recorded.
struct Window
{
    TestPlatform platform;
    std::unique_ptr<frmAbout> dialog;
    std::vector<Message> messages;

    Window()
        : dialog(std::make_unique<frmAbout>(platform))
    {
        dialog->setMessagePresenter(
            [this](const Message &message) { messages.push_back(message); });
    }
    template <typename T = QWidget> T *control(const QString &name) const
    {
        return dialog->findChild<T *>(name);
    }
    void click(const QString &name) const { QTest::mouseClick(control(name), Qt::LeftButton); }
    std::string letters() const // of the messages shown
    {
        std::string shown;
        for (const Message &message : messages)
            shown += letterOf(message);
        return shown;
    }
};

bool holdsColour(const QImage &image, const QRect &area, const QColor &colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

const QColor green(0, 0xFF, 0), red(0xFF, 0, 0), blue(0, 0, 0xFF), black(0, 0, 0);

} // namespace

class TestUiAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setAttribute(Qt::AA_Use96Dpi, true); }
    void windowFrame();
    void layoutMatchesGolden();
    void textsFitTheirBoxes();
    void aboutPainting();
    void closing_data();
    void closing();
    void aboutTabOrder();
    void detailsMessage();
    void links_data();
    void links();
    void sysInfoLookup_data();
    void sysInfoLookup();
    void sysInfoStubTool_data();
    void sysInfoStubTool();
    void getKeyValue_data();
    void getKeyValue();
};

void TestUiAbout::windowFrame()
{
    Window w;
    checkFixedFrame(*w.dialog, u"A propos Korvex"_s, QSize(382, 217));
    QVERIFY(!w.control<QLabel>(u"Image1"_s)->pixmap().isNull());
    // Comic Neue stands in for Comic Sans MS on every control.
    for (const QWidget *control : w.dialog->findChildren<QWidget *>())
        QCOMPARE(QFontInfo(control->font()).family(), u"Comic Neue"_s);
}

// The version line is written from the three numbers; the golden file leaves it out, so that only
// this line changes with a new version.
void TestUiAbout::layoutMatchesGolden()
{
    Window w;
    const QString version = u"Version 1.3.0"_s;
    QCOMPARE(w.control<QLabel>(u"lblVersion"_s)->text(), version);
    compareWithGolden(
        describeWindow(*w.dialog).replace(version, u"Version <version>"_s), u"about_window"_s);
}

void TestUiAbout::textsFitTheirBoxes()
{
    Window w;
    checkTextsFit(*w.dialog);
}

void TestUiAbout::closing_data()
{
    QTest::addColumn<Closing>("how");
    QTest::addColumn<bool>("closes");
    QTest::newRow("OK clicked") << Closing::OkClicked << true;
    QTest::newRow("Enter") << Closing::Enter << true;
    QTest::newRow("Escape") << Closing::Escape << true;
    QTest::newRow("close box as OK") << Closing::CloseBox << true;
}

void TestUiAbout::closing()
{
    QFETCH(Closing, how);
    QFETCH(bool, closes);
    Window w;
    checkClosing(*w.dialog, u"cmdOK"_s, how, closes);
    QVERIFY(w.messages.empty());
}

// Black ground, the etched separator, coloured texts on no background of their own.
void TestUiAbout::aboutPainting()
{
    Window w;
    const QImage image = w.dialog->grab().toImage();
    QCOMPARE(image.pixelColor(375, 5), black);
    QCOMPARE(image.pixelColor(10, 79), QColor(Qt::white));
    QCOMPARE(image.pixelColor(10, 80), QColor(Qt::white));
    QCOMPARE(image.pixelColor(10, 81), QColor(0x80, 0x80, 0x80));
    QCOMPARE(image.pixelColor(10, 82), black);
    QCOMPARE(image.pixelColor(375, 81), black); // past the lines' ends
    const auto area = [&w](const QString &name) { return w.control(name)->geometry(); };
    QVERIFY(holdsColour(image, area(u"lblTitle"_s), green));
    QVERIFY(holdsColour(image, area(u"Label2"_s), red));
    QVERIFY(holdsColour(image, area(u"Label3"_s), blue));
    QCOMPARE(image.pixelColor(area(u"lblVersion"_s).bottomRight()), black);
    QCOMPARE(w.control<QLabel>(u"Image2"_s)->pixmap().size(), QSize(100, 44));
}

void TestUiAbout::aboutTabOrder()
{
    Window w;
    QStringList focused;
    runModal(*w.dialog, [&focused](QWidget *modal) {
        for (int i = 0; i < 7; ++i) {
            focused << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        modal->close();
    });
    QCOMPARE(focused,
        QStringList({u"cmdOK"_s, u"cmdSysInfo"_s, u"lblDisclaimer"_s, u"Label3"_s, u"Command1"_s,
            u"Image2"_s, u"cmdOK"_s}));
}

void TestUiAbout::detailsMessage()
{
    Window w;
    w.click(u"Command1"_s);
    QCOMPARE(w.messages.size(), std::size_t(1));
    const Message &message = w.messages.front();
    QCOMPARE(message.title, std::string("A propos"));
    QCOMPARE(message.icon, MessageIcon::Information);
    const QString text = QString::fromStdString(message.text);
    QVERIFY(!text.contains(u'\n'));
    const QStringList expected{u"Korvex version 1.3.0"_s, u"Calculatrice Euros/Francs"_s, QString(),
        u"Korvex, par l'équipe Korvex - 2026"_s, u"E-Mail : contact@korvex.example"_s,
        u"Url : https://korvex.example/"_s, QString(), u"Logiciel FREEWARE"_s};
    QCOMPARE(text.split(u'\r'), expected);
}

void TestUiAbout::links_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key"); // opens it too while it has the focus: Enter rather than OK
    QTest::addColumn<QString>("target");
    QTest::newRow("donation picture")
        << u"Image2"_s << int(Qt::Key_Enter) << u"https://korvex.example/don"_s;
    QTest::newRow("web site") << u"Label3"_s << int(Qt::Key_Return) << u"https://korvex.example/"_s;
    QTest::newRow("e-mail") << u"lblDisclaimer"_s << int(Qt::Key_Space)
                            << u"mailto:contact@korvex.example"_s;
}

void TestUiAbout::links()
{
    QFETCH(QString, name);
    QFETCH(int, key);
    QFETCH(QString, target);
    Window w;
    w.dialog->show();
    QApplication::setActiveWindow(w.dialog.get());
    QWidget *link = w.control(name);
    QCOMPARE(link->cursor().hotSpot(), QPoint(12, 1));
    QCOMPARE(link->cursor().pixmap().size(), QSize(32, 32));
    QTest::mouseClick(link, Qt::RightButton);
    QVERIFY(w.platform.links.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(w.platform.links, QStringList{target});
    link->setFocus(Qt::TabFocusReason);
    const QRect ringTop(link->x() - 2, link->y() - 2, link->width() + 4, 1);
    QVERIFY(holdsColour(w.dialog->grab().toImage(), ringTop, Qt::white));
    QTest::keyClick(link, Qt::Key(key));
    QCOMPARE(w.platform.links, QStringList({target, target}));
    QVERIFY(w.dialog->isVisible());
    QVERIFY(w.messages.empty());
}

void TestUiAbout::sysInfoLookup_data()
{
    QTest::addColumn<QString>("registry"); // 1: the first entry, 2: the second, F: its file
    QTest::addColumn<QStringList>("onPath");
    QTest::addColumn<bool>("startWorks");
    QTest::addColumn<QString>("started"); // "folder" stands for the second entry's folder
    const QStringList none;
    const QString first = u"C:\\Outils\\msinfo32.exe"_s, nothing;
    const QStringList lshwAndHardinfo{u"lshw-gtk"_s, u"hardinfo"_s};
    QTest::newRow("nothing anywhere") << u""_s << none << true << nothing;
    QTest::newRow("first entry started unchecked") << u"1"_s << none << true << first;
    QTest::newRow("first entry fails to start") << u"1"_s << none << false << first;
    QTest::newRow("first entry before the second") << u"12F"_s << none << true << first;
    QTest::newRow("second entry with its file")
        << u"2F"_s << none << true << u"folder\\MSINFO32.EXE"_s;
    QTest::newRow("second entry without its file") << u"2"_s << none << true << nothing;
    QTest::newRow("registry before the PATH") << u"1"_s << lshwAndHardinfo << true << first;
    QTest::newRow("first tool of the list on the PATH")
        << u""_s << lshwAndHardinfo << true << u"/bin/hardinfo"_s;
    QTest::newRow("tool on the PATH fails to start")
        << u""_s << QStringList{u"lshw-gtk"_s} << false << u"/bin/lshw-gtk"_s;
}

void TestUiAbout::sysInfoLookup()
{
    QFETCH(QString, registry);
    QFETCH(QStringList, onPath);
    QFETCH(bool, startWorks);
    QFETCH(QString, started);
    Window w;
    Folder temporary;
    // On a system whose paths use "/", the folder's "\MSINFO32.EXE" is part of a file name.
    const QString folder = temporary.dir.filePath(u"tools"_s);
    FakeRegistry &keys = w.platform.fakeRegistry;
    if (registry.contains(u'1'))
        keys.set("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", 1,
            QByteArray("C:\\Outils\\msinfo32.exe", 23)); // with its terminating zero
    if (registry.contains(u'2'))
        keys.set("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", 1, folder.toLocal8Bit());
    if (registry.contains(u'F'))
        temporary.write("tools\\MSINFO32.EXE", "");
    for (const QString &name : onPath)
        w.platform.onPath[name] = u"/bin/"_s + name;
    w.platform.startWorks = startWorks;

    w.click(u"cmdSysInfo"_s);

    started.replace(u"folder"_s, folder);
    QCOMPARE(w.platform.started, started.isEmpty() ? QStringList() : QStringList{started});
    const bool shown = started.isEmpty() || !startWorks;
    QCOMPARE(w.letters(), std::string(shown ? "I" : ""));
}

void TestUiAbout::sysInfoStubTool_data()
{
    QTest::addColumn<bool>("toolThere");
    QTest::newRow("stub tool on the PATH is started") << true;
    QTest::newRow("PATH without any tool") << false;
}

// The real PATH look-up and the real start, with a PATH of one folder that may hold a stub tool
// leaving a mark.
void TestUiAbout::sysInfoStubTool()
{
    QFETCH(bool, toolThere);
    Folder folder;
    const QString tool = folder.dir.filePath(u"kinfocenter"_s);
    // No other program is on the PATH, so the script uses none.
    if (toolThere)
        folder.write(
            "kinfocenter", "#!/bin/sh\necho started > '" + folder.at("started") + "'\n", 0700);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(folder.dir.path()));
    Window w;
    w.platform.useSystemPath = true;
    w.click(u"cmdSysInfo"_s);
    qputenv("PATH", path);

    QCOMPARE(w.platform.started, toolThere ? QStringList{tool} : QStringList());
    QCOMPARE(w.letters(), std::string(toolThere ? "" : "I"));
    if (toolThere)
        QTRY_COMPARE(folder.read("started"), std::string("started\n"));
}

void TestUiAbout::getKeyValue_data()
{
    QTest::addColumn<int>("type"); // -1: no such key, 0: no such value
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QByteArray>("text"); // the caller passes "avant"
    const auto bytes = [](std::initializer_list<char> list) {
        return QByteArray(list.begin(), qsizetype(list.size()));
    };
    const QByteArray full(1024, 'x'), path("C:\\msinfo32.exe");
    QTest::newRow("string loses its terminating zero") << 1 << path + '\0' << true << path;
    QTest::newRow("string filling the buffer keeps every byte") << 1 << full << true << full;
    QTest::newRow("string filling the buffer with its zero")
        << 1 << QByteArray(1023, 'x') + '\0' << true << QByteArray(1023, 'x');
    QTest::newRow("string longer than the buffer") << 1 << full + 'x' << false << QByteArray();
    QTest::newRow("empty string") << 1 << bytes({0}) << true << QByteArray();
    QTest::newRow("number in hexadecimal")
        << 4 << bytes({'\xF4', 0x01, 0x00, 0x00}) << true << QByteArray("&h1F4");
    QTest::newRow("number with every byte set")
        << 4 << bytes({0x78, 0x56, 0x34, 0x12}) << true << QByteArray("&h12345678");
    QTest::newRow("number zero") << 4 << bytes({0, 0, 0, 0}) << true << QByteArray("&h0");
    QTest::newRow("other type keeps the caller's text")
        << 3 << bytes({0x01, 0x02}) << true << QByteArray("avant");
    QTest::newRow("value missing") << 0 << QByteArray() << false << QByteArray();
    QTest::newRow("key missing") << -1 << QByteArray() << false << QByteArray();
}

void TestUiAbout::getKeyValue()
{
    QFETCH(int, type);
    QFETCH(QByteArray, stored);
    QFETCH(bool, read);
    QFETCH(QByteArray, text);
    FakeRegistry registry;
    if (type >= 0)
        registry.keys["SOFTWARE\\Outils"];
    if (type > 0)
        registry.set("SOFTWARE\\Outils", "Valeur", std::uint32_t(type), stored);
    std::string value = "avant";
    QCOMPARE(GetKeyValue(registry, RegistryRoot::LocalMachine, "SOFTWARE\\Outils", "Valeur", value),
        read);
    QCOMPARE(QByteArray::fromStdString(value), text);
    QCOMPARE(registry.askedAccess, std::uint32_t(0x2003F));
    QCOMPARE(registry.closed, int(registry.open.size())); // every opened key is closed again
    QCOMPARE(registry.offered, std::size_t(type >= 0 ? 1024 : 0));
}

QTEST_MAIN(TestUiAbout)
#include "tst_ui_about.moc"
