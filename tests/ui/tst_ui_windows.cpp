#include "tst_ui_windows.h"

#include "ui/about_window.h"
#include "ui/help_window.h"
#include "ui/maker.h"
#include "ui/platform.h"
#include "ui/sys_info.h"
#include "ui/version.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

using namespace korvex;
using namespace Qt::StringLiterals;

namespace {

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

    void set(const std::string &key, const std::string &name, std::uint32_t type, QByteArray bytes)
    {
        keys[key][name] = {type, {bytes.begin(), bytes.end()}};
    }

    std::map<std::string, std::map<std::string, RegistryData>> keys;
    std::vector<std::string> open;
    int closed = 0;
    std::uint32_t askedAccess = 0;
    std::size_t offered = 0;
};

// Links and started programs are recorded; the PATH is a table unless the real one is wanted.
class TestPlatform : public Platform
{
public:
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

    FakeRegistry fakeRegistry;
    QMap<QString, QString> onPath;
    bool useSystemPath = false;
    bool startWorks = true;
    QStringList links;
    QStringList started;
};

// Either window, with its messages recorded.
struct Window
{
    TestPlatform platform;
    std::unique_ptr<QDialog> dialog;
    std::vector<Message> messages;

    explicit Window(bool about)
    {
        if (!about) {
            dialog = std::make_unique<FrmAide>();
            return;
        }
        auto window = std::make_unique<frmAbout>(platform);
        window->setMessagePresenter(
            [this](const Message &message) { messages.push_back(message); });
        dialog = std::move(window);
    }
    template <typename T = QWidget> T *control(const QString &name) const
    {
        return dialog->findChild<T *>(name);
    }
    void click(const QString &name) const { QTest::mouseClick(control(name), Qt::LeftButton); }
};

// Runs the dialog's own modal loop and acts once it is up and active. A guard ends a loop that
// the action left running, so a failing test cannot hang: exec then answers -1.
int runModal(QDialog &dialog, const std::function<void(QWidget *)> &action)
{
    QTimer::singleShot(0, &dialog, [action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (QTest::qWaitForWindowActive(modal))
            action(modal);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &dialog, [&dialog] { dialog.done(-1); });
    guard.start(5000);
    return dialog.exec();
}

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

class TestUiWindows : public QObject
{
    Q_OBJECT

private slots:
    void windowFrames_data();
    void windowFrames();
    void helpTexts_data();
    void helpTexts();
    void aboutControls_data();
    void aboutControls();
    void layout_data();
    void layout();
    void textsFitTheirBoxes_data();
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

void TestUiWindows::windowFrames_data()
{
    QTest::addColumn<bool>("about");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("size");
    QTest::newRow("help window") << false << u"Aide"_s << QSize(376, 427); // 5640 x 6405 twips
    QTest::newRow("About window") << true << u"A propos Korvex"_s << QSize(382, 217);
}

void TestUiWindows::windowFrames()
{
    QFETCH(bool, about);
    QFETCH(QString, title);
    QFETCH(QSize, size);
    Window w(about);
    QCOMPARE(w.dialog->windowTitle(), title);
    QCOMPARE(w.dialog->minimumSize(), size);
    QCOMPARE(w.dialog->maximumSize(), size);
    const Qt::WindowFlags flags = w.dialog->windowFlags();
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!w.dialog->windowIcon().isNull());
    QVERIFY(!w.control<QLabel>(u"Image1"_s)->pixmap().isNull());
}

void TestUiWindows::helpTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("frame"); // the caption of the frame holding it
    QTest::addColumn<QColor>("colour");
    const auto row = [](const char *what, const char *name, const QString &text, const char *frame,
                         const QColor &colour = black) {
        QTest::newRow(what) << QString::fromLatin1(name) << text << QString::fromUtf8(frame)
                            << colour;
    };
    const char *trigonometry = "Fonctions trigonométriques ";
    row("title", "Label1", u"Les commandes au clavier"_s, "(window)");
    row("credit line", "Label11", MakerCredit.toString(), "(window)");
    row("e-mail", "Label21", u"E-Mail : "_s + MakerEmail.toString(), "", blue);
    row("web site", "Label23", u"URL : "_s + MakerWebSite.toString(), "", blue);
    row("second address", "Label22", u"URL : "_s + MakerDownloadSite.toString(), "", blue);
    row("memory meaning", "Label13", u": Nombre en mémoire"_s, "Affichage ");
    row("memory sample", "Label12", u"M"_s, "Affichage ", red);
    row("percent", "Label9", u"% : Pourcentage"_s, "Fonctions ");
    row("square root", "Label5", u"V : Racine carrée"_s, "Fonctions ");
    row("square", "Label6", u"X : Elevation au carré"_s, "Fonctions ");
    row("inverse, two spaces", "Label19", u"I  : Inverse (1/x)"_s, "Fonctions ");
    row("backspace, eight spaces", "Label20", u"<=        : Retour arrière"_s, "Commandes ");
    row("quit, six spaces", "Label18", u"F/Q      : Quitter le programme"_s, "Commandes ");
    row("enter, two spaces", "Label8", u"Entrée  : Egal"_s, "Commandes ");
    row("sign change", "Label4", u"N : Inversion du signe <> +/-"_s, "Commandes ");
    row("clear entry", "Label3", u"E : Effacement partiel"_s, "Commandes ");
    row("clear", "Label2", u"C : Effacement"_s, "Commandes ");
    row("pi", "Label17", u"P : Pi  (3.14....)"_s, trigonometry);
    row("tangent", "Label16", u"T : Tangente"_s, trigonometry);
    row("cosine", "Label15", u"O : Cosinus"_s, trigonometry);
    row("sine", "Label7", u"S : Sinus"_s, trigonometry);
    row("decimal separator", "Label10", u".  : Séparateur décimal"_s, "Opérateurs ");
    row("operators", "Label14", u"+  -  /  *"_s, "Opérateurs ");
}

void TestUiWindows::helpTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, frame);
    QFETCH(QColor, colour);
    Window w(false);
    const auto *label = w.control<QLabel>(name);
    QCOMPARE(label->text(), text);
    const auto *box = qobject_cast<const QGroupBox *>(label->parentWidget());
    QCOMPARE(box != nullptr ? box->title() : u"(window)"_s, frame);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QVERIFY(!label->font().bold() || name == u"Label1"_s || name == u"Label12"_s);
}

void TestUiWindows::aboutControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour"); // none for a button
    QTest::addColumn<QString>("tooltip");
    const QString none;
    QTest::newRow("title") << u"lblTitle"_s << u"Korvex"_s << green << none;
    // Written from the three numbers, it must match the build's own version text.
    QTest::newRow("version") << u"lblVersion"_s << u"Version "_s + QString::fromLatin1(VersionText)
                             << green << none;
    QTest::newRow("credit line") << u"lblDescription"_s << MakerCredit.toString() << green << none;
    QTest::newRow("freeware") << u"Label2"_s << u"Logiciel FREEWARE"_s << red << none;
    QTest::newRow("e-mail link") << u"lblDisclaimer"_s << u"E-Mail : "_s + MakerEmail.toString()
                                 << blue << u"Envoyer un courriel"_s;
    QTest::newRow("web link") << u"Label3"_s << u"URL : "_s + MakerWebSite.toString() << blue
                              << u"Visitez le site officiel Quiblo"_s;
    QTest::newRow("donation picture")
        << u"Image2"_s << none << QColor()
        << u"Faire un don avec PayPal - Un solution gratuite, rapide et sécurisée."_s;
    QTest::newRow("OK") << u"cmdOK"_s << u"OK"_s << QColor() << none;
    QTest::newRow("details") << u"Command1"_s << u"Détails..."_s << QColor() << none;
    QTest::newRow("system information")
        << u"cmdSysInfo"_s << u"&Système Info..."_s << QColor() << u"Informations système"_s;
}

void TestUiWindows::aboutControls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QFETCH(QString, tooltip);
    Window w(true);
    QWidget *control = w.control(name);
    const auto *button = qobject_cast<QPushButton *>(control);
    QCOMPARE(button != nullptr ? button->text() : qobject_cast<QLabel *>(control)->text(), text);
    if (colour.isValid())
        QCOMPARE(control->palette().color(QPalette::WindowText), colour);
    QCOMPARE(control->toolTip(), tooltip);
    QCOMPARE(QFontInfo(control->font()).family(), u"Comic Neue"_s); // stands in for Comic Sans MS
}

void TestUiWindows::layout_data()
{
    QTest::addColumn<bool>("about");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels"); // from the top-left corner of the frame or the window
    QTest::newRow("help OK") << false << u"Command1"_s << QRect(152, 320, 73, 25);
    QTest::newRow("help icon") << false << u"Image1"_s << QRect(16, 8, 33, 33);
    QTest::newRow("memory sample") << false << u"Label12"_s << QRect(8, 24, 33, 17);
    QTest::newRow("centred web site") << false << u"Label23"_s << QRect(80, 32, 161, 17);
    QTest::newRow("commands frame") << false << u"Frame4"_s << QRect(16, 48, 161, 129);
    QTest::newRow("About OK") << true << u"cmdOK"_s << QRect(264, 96, 100, 39);
    QTest::newRow("details") << true << u"Command1"_s << QRect(264, 152, 97, 25);
    QTest::newRow("donation picture") << true << u"Image2"_s << QRect(80, 160, 100, 44);
    QTest::newRow("About icon stretched") << true << u"Image1"_s << QRect(8, 16, 48, 48);
    QTest::newRow("About title") << true << u"lblTitle"_s << QRect(72, 8, 259, 24);
}

void TestUiWindows::layout()
{
    QFETCH(bool, about);
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    Window w(about);
    QCOMPARE(w.control(name)->geometry(), pixels);
}

void TestUiWindows::textsFitTheirBoxes_data()
{
    QTest::addColumn<bool>("about");
    QTest::newRow("help window") << false;
    QTest::newRow("About window") << true;
}

// No text is clipped or leaves its frame, and no two texts of a frame overlap.
void TestUiWindows::textsFitTheirBoxes()
{
    QFETCH(bool, about);
    Window w(about);
    const QList<QLabel *> labels = w.dialog->findChildren<QLabel *>();
    const auto textArea = [](const QLabel *label) {
        return QStyle::alignedRect(Qt::LeftToRight, label->alignment(),
            label->sizeHint().boundedTo(label->size()), label->geometry());
    };
    for (const QLabel *label : labels) {
        if (label->text().isEmpty())
            continue;
        const QString name = label->objectName();
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(name));
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), qPrintable(name));
        for (const QLabel *other : labels)
            if (other != label && !other->text().isEmpty()
                && other->parentWidget() == label->parentWidget())
                QVERIFY2(!textArea(other).intersects(textArea(label)),
                    qPrintable(name + u" overlaps "_s + other->objectName()));
    }
}

// Black ground, the etched separator, coloured texts on no background of their own.
void TestUiWindows::aboutPainting()
{
    Window w(true);
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

enum class Closing { OkClicked, AltO, Enter, Escape, CloseBox };

void TestUiWindows::closing_data()
{
    QTest::addColumn<bool>("about");
    QTest::addColumn<Closing>("how");
    QTest::addColumn<bool>("closes");
    QTest::newRow("help: OK clicked") << false << Closing::OkClicked << true;
    QTest::newRow("help: Alt+O") << false << Closing::AltO << true;
    QTest::newRow("help: Enter") << false << Closing::Enter << true;
    QTest::newRow("help: close box as OK") << false << Closing::CloseBox << true;
    QTest::newRow("help: Escape does nothing") << false << Closing::Escape << false;
    QTest::newRow("About: OK clicked") << true << Closing::OkClicked << true;
    QTest::newRow("About: Enter") << true << Closing::Enter << true;
    QTest::newRow("About: Escape") << true << Closing::Escape << true;
    QTest::newRow("About: close box as OK") << true << Closing::CloseBox << true;
}

// Keys go to the focused control, which leaves to its window those it ignores. After the action
// the window is closed with "OK" if it is still open.
void TestUiWindows::closing()
{
    QFETCH(bool, about);
    QFETCH(Closing, how);
    QFETCH(bool, closes);
    Window w(about);
    const QString ok = about ? u"cmdOK"_s : u"Command1"_s;
    QString focused;
    bool closed = false;
    const int result = runModal(*w.dialog, [&](QWidget *modal) {
        QWidget *focus = QApplication::focusWidget();
        focused = focus->objectName();
        switch (how) {
        case Closing::OkClicked:
            w.click(ok);
            break;
        case Closing::AltO:
            QTest::keyClick(focus, Qt::Key_O, Qt::AltModifier);
            break;
        case Closing::Enter:
            QTest::keyClick(focus, Qt::Key_Return);
            break;
        case Closing::Escape:
            QTest::keyClick(focus, Qt::Key_Escape);
            break;
        case Closing::CloseBox:
            modal->close();
            break;
        }
        // An access key presses its button after a short show of it being pressed.
        closed = QTest::qWaitFor([modal] { return !modal->isVisible(); }, 500);
        if (!closed)
            w.click(ok);
    });
    QCOMPARE(focused, ok);
    QCOMPARE(closed, closes);
    QCOMPARE(result, int(QDialog::Accepted)); // the way "OK" closes it
    QVERIFY(w.messages.empty());
}

void TestUiWindows::aboutTabOrder()
{
    Window w(true);
    QStringList focused;
    runModal(*w.dialog, [&focused](QWidget *modal) {
        for (int i = 0; i < 4; ++i) {
            focused << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        modal->close();
    });
    QCOMPARE(focused, QStringList({u"cmdOK"_s, u"cmdSysInfo"_s, u"Command1"_s, u"cmdOK"_s}));
}

void TestUiWindows::detailsMessage()
{
    Window w(true);
    w.click(u"Command1"_s);
    QCOMPARE(w.messages.size(), std::size_t(1));
    const Message &message = w.messages.front();
    QCOMPARE(message.title, std::string("A propos"));
    QCOMPARE(message.icon, MessageIcon::Information);
    const QString text = QString::fromStdString(message.text);
    QVERIFY(!text.contains(u'\n'));
    const QStringList expected{u"Korvex version "_s + QString::fromLatin1(VersionText),
        u"Calculatrice Euros/Francs"_s, QString(), MakerCredit.toString(),
        u"E-Mail : "_s + MakerEmail.toString(), u"Url : "_s + MakerWebSite.toString(), QString(),
        u"Logiciel FREEWARE"_s};
    QCOMPARE(text.split(u'\r'), expected);
}

void TestUiWindows::links_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target");
    QTest::newRow("donation picture") << u"Image2"_s << MakerDonationPage.toString();
    QTest::newRow("web site") << u"Label3"_s << MakerWebSite.toString();
    QTest::newRow("e-mail") << u"lblDisclaimer"_s << u"mailto:"_s + MakerEmail.toString();
}

void TestUiWindows::links()
{
    QFETCH(QString, name);
    QFETCH(QString, target);
    Window w(true);
    w.dialog->show();
    QWidget *link = w.control(name);
    QCOMPARE(link->cursor().hotSpot(), QPoint(12, 1));
    QCOMPARE(link->cursor().pixmap().size(), QSize(32, 32));
    QTest::mouseClick(link, Qt::RightButton);
    QVERIFY(w.platform.links.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(w.platform.links, QStringList{target});
    QVERIFY(w.dialog->isVisible());
    QVERIFY(w.messages.empty());
}

void TestUiWindows::sysInfoLookup_data()
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

void TestUiWindows::sysInfoLookup()
{
    QFETCH(QString, registry);
    QFETCH(QStringList, onPath);
    QFETCH(bool, startWorks);
    QFETCH(QString, started);
    Window w(true);
    QTemporaryDir temporary;
    // On a system whose paths use "/", the folder's "\MSINFO32.EXE" is part of a file name.
    const QString folder = temporary.filePath(u"tools"_s);
    FakeRegistry &keys = w.platform.fakeRegistry;
    if (registry.contains(u'1'))
        keys.set("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", RegistryStringType,
            QByteArray("C:\\Outils\\msinfo32.exe", 23)); // with its terminating zero
    if (registry.contains(u'2'))
        keys.set("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", RegistryStringType,
            folder.toLocal8Bit());
    if (registry.contains(u'F'))
        QVERIFY(QFile(folder + u"\\MSINFO32.EXE"_s).open(QIODevice::WriteOnly));
    for (const QString &name : onPath)
        w.platform.onPath[name] = u"/bin/"_s + name;
    w.platform.startWorks = startWorks;

    w.click(u"cmdSysInfo"_s);

    started.replace(u"folder"_s, folder);
    QCOMPARE(w.platform.started, started.isEmpty() ? QStringList() : QStringList{started});
    const bool shown = started.isEmpty() || !startWorks;
    QCOMPARE(w.messages, shown ? std::vector{SysInfoMissingMessage} : std::vector<Message>());
    QCOMPARE(SysInfoMissingMessage,
        Message({"Information Systeme introuvable !", "Korvex", MessageIcon::None}));
}

void TestUiWindows::sysInfoStubTool_data()
{
    QTest::addColumn<bool>("toolThere");
    QTest::newRow("stub tool on the PATH is started") << true;
    QTest::newRow("PATH without any tool") << false;
}

// The real PATH look-up and the real start, with a PATH of one folder that may hold a stub tool
// leaving a mark.
void TestUiWindows::sysInfoStubTool()
{
    QFETCH(bool, toolThere);
    QTemporaryDir folder;
    const QString tool = folder.filePath(u"kinfocenter"_s);
    const QString mark = folder.filePath(u"started"_s);
    if (toolThere) {
        QFile script(tool);
        QVERIFY(script.open(QIODevice::WriteOnly));
        // No other program is on the PATH, so the script uses none.
        script.write("#!/bin/sh\necho started > '" + QFile::encodeName(mark) + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(folder.path()));
    Window w(true);
    w.platform.useSystemPath = true;
    w.click(u"cmdSysInfo"_s);
    qputenv("PATH", path);

    QCOMPARE(w.platform.started, toolThere ? QStringList{tool} : QStringList());
    QCOMPARE(w.messages, toolThere ? std::vector<Message>() : std::vector{SysInfoMissingMessage});
    if (toolThere)
        QTRY_VERIFY(QFile::exists(mark));
}

void TestUiWindows::getKeyValue_data()
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

void TestUiWindows::getKeyValue()
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

int runWindowTests(int argc, char **argv)
{
    TestUiWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_windows.moc"
