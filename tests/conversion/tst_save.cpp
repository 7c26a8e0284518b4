// SPDX-License-Identifier: GPL-3.0-or-later
// The save through the real POSIX file layer on a temporary folder: what the file system shows
// afterwards, and the order of the calls it cannot show, watched between the layer and the system.
#include "conversion/file_system.h"
#include "conversion/settings.h"
#include "conversion/settings_file.h"
#include "tests/support/failing_calls.h"
#include "tests/support/folder.h"

#include <QDir>
#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string oldBytes = "6.55957\r\n2\r\n19.6\r\n";
const std::string newBytes = "8\r\n3\r\n5.5\r\n";

using korvex::Folder;

bool save(const Folder &folder, korvex::FileSystem &files)
{
    korvex::Settings settings;
    settings.SettingsDirectory = folder.path + "/";
    settings.ConversionRate = 8;
    settings.ResultFormat = 3;
    settings.VatRate = 5.5;
    return korvex::SaveSettings(settings, files);
}

unsigned modeOf(const std::string &path)
{
    struct stat status
    {
    };
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777u : 0u;
}

bool isLink(const std::string &path)
{
    struct stat status
    {
    };
    return ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// Only the calls the file system cannot show afterwards, in their order.
QString orderOf(const QStringList &log)
{
    static const QStringList watched{"write", "flush file", "rename", "flush folder"};
    QStringList order;
    for (const QString &call : log) {
        if (watched.contains(call))
            order << call;
    }
    return order.join(", ");
}

} // namespace

class TestSave : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheUsersFile_data();
    void keepsTheUsersFile();
    void removesOnlyDeadTemporaries();
    void callOrder_data();
    void callOrder();
    void temporaryNameTaken_data();
    void temporaryNameTaken();
};

void TestSave::keepsTheUsersFile_data()
{
    QTest::addColumn<int>("mode"); // of the file there before; 0 for none
    QTest::addColumn<QString>("link"); // Korvex.cfg is a link with this text; empty for none
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("modeAfter");
    QTest::newRow("private file stays private") << 0600 << "" << true << 0600;
    QTest::newRow("group-readable file keeps its bits") << 0640 << "" << true << 0640;
    QTest::newRow("write-protected file is not replaced") << 0444 << "" << false << 0444;
    QTest::newRow("no file yet: 0644 under the umask") << 0 << "" << true << 0644;
    QTest::newRow("link to a file in another folder stays a link")
        << 0600 << "dotfiles/Korvex.cfg" << true << 0600;
    QTest::newRow("link to a write-protected file")
        << 0444 << "dotfiles/Korvex.cfg" << false << 0444;
    QTest::newRow("dangling link") << 0 << "dotfiles/gone.cfg" << false << 0;
}

void TestSave::keepsTheUsersFile()
{
    QFETCH(int, mode);
    QFETCH(QString, link);
    QFETCH(bool, saved);
    QFETCH(int, modeAfter);
    Folder folder;
    const mode_t umask = ::umask(022);
    const std::string file = link.isEmpty() ? "Korvex.cfg" : "dotfiles/Korvex.cfg";
    QVERIFY(QDir(folder.dir.path()).mkpath("dotfiles"));
    if (mode != 0)
        folder.write(file, oldBytes, unsigned(mode));
    if (!link.isEmpty())
        QCOMPARE(::symlink(link.toStdString().c_str(), folder.at("Korvex.cfg").c_str()), 0);
    const QStringList before = folder.entries();
    korvex::PosixFileSystem files;
    QCOMPARE(save(folder, files), saved);
    ::umask(umask);
    QCOMPARE(folder.read(file), saved ? newBytes : mode != 0 ? oldBytes : korvex::noFile);
    QCOMPARE(modeOf(folder.at(file)), unsigned(modeAfter));
    QCOMPARE(isLink(folder.at("Korvex.cfg")), !link.isEmpty());
    QStringList expected = before;
    if (saved && !expected.contains("Korvex.cfg"))
        expected << "Korvex.cfg";
    expected.sort();
    QStringList found = folder.entries();
    found.sort();
    QCOMPARE(found, expected); // no temporary file behind
    const QDir targets(QString::fromStdString(folder.at("dotfiles")));
    QCOMPARE(targets.entryList(QDir::Files | QDir::Hidden).size(),
        qsizetype(!link.isEmpty() && mode != 0));
}

// A temporary file whose lock is free was left by a killed save; one still locked belongs to a
// save under way in another copy of the program.
void TestSave::removesOnlyDeadTemporaries()
{
    Folder folder;
    folder.write(".Korvex.cfg.dead01", "6.5");
    folder.write(".Korvex.cfg.live01", "7.5");
    folder.write(".Korvex.cfg-notes", "kept");
    const int live = ::open(folder.at(".Korvex.cfg.live01").c_str(), O_RDONLY);
    QCOMPARE(::flock(live, LOCK_EX), 0);
    korvex::PosixFileSystem files;
    QVERIFY(save(folder, files));
    ::close(live);
    QCOMPARE(
        folder.entries(), (QStringList{".Korvex.cfg-notes", ".Korvex.cfg.live01", "Korvex.cfg"}));
    QVERIFY(save(folder, files));
    QCOMPARE(folder.entries(), (QStringList{".Korvex.cfg-notes", "Korvex.cfg"}));
}

void TestSave::callOrder_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("order");
    QTest::addColumn<bool>("saved");
    const QString all = "write, write, write, flush file, rename, flush folder";
    QTest::newRow("every call succeeds") << "" << all << true;
    QTest::newRow("write fails") << "write"
                                 << "write" << false;
    QTest::newRow("flush to disk fails") << "flush file"
                                         << "write, write, write, flush file" << false;
    QTest::newRow("rename fails") << "rename"
                                  << "write, write, write, flush file, rename" << false;
    QTest::newRow("flush of the folder fails") << "flush folder" << all << false;
}

// The bytes reach the disk before the new name replaces the old, and the name reaches it last.
void TestSave::callOrder()
{
    QFETCH(QString, failing);
    QFETCH(QString, order);
    QFETCH(bool, saved);
    Folder folder;
    folder.write("Korvex.cfg", oldBytes);
    korvex::FailingCalls calls;
    calls.failing = failing;
    korvex::PosixFileSystem files(calls);
    QCOMPARE(save(folder, files), saved);
    QCOMPARE(orderOf(calls.log), order);
    QCOMPARE(folder.read("Korvex.cfg"), saved || failing == "flush folder" ? newBytes : oldBytes);
    QCOMPARE(folder.entries().size(), 1); // no temporary file behind
}

void TestSave::temporaryNameTaken_data()
{
    QTest::addColumn<QString>("hookedCall");
    QTest::addColumn<bool>("plantLink"); // else a long regular file
    QTest::newRow("a file already has the name") << "name" << false;
    QTest::newRow("a link already has the name") << "name" << true;
    QTest::newRow("the name becomes a link between creation and lock") << "lock" << true;
}

// A file or link that another program puts in the temporary file's place is never written
// through, and never becomes the settings file: the save takes another name.
void TestSave::temporaryNameTaken()
{
    QFETCH(QString, hookedCall);
    QFETCH(bool, plantLink);
    Folder folder;
    folder.write("victim", "someone else's bytes, longer than the settings");
    korvex::FailingCalls calls;
    calls.names = QStringList{"taken1", "fresh1"};
    calls.hookedCall = hookedCall;
    const std::string taken = folder.at(".Korvex.cfg.taken1");
    calls.hook = [&] {
        ::unlink(taken.c_str());
        if (plantLink)
            QCOMPARE(::symlink(folder.at("victim").c_str(), taken.c_str()), 0);
        else
            folder.write(".Korvex.cfg.taken1", "a much longer text that is not the settings");
    };
    korvex::PosixFileSystem files(calls);
    QVERIFY(save(folder, files));
    QVERIFY(!calls.hook); // the planting happened
    QCOMPARE(folder.read("Korvex.cfg"), newBytes);
    QVERIFY(!isLink(folder.at("Korvex.cfg")));
    QCOMPARE(folder.read("victim"), std::string("someone else's bytes, longer than the settings"));
    QVERIFY(calls.names.isEmpty()); // the second name was taken
}

QTEST_GUILESS_MAIN(TestSave)
#include "tst_save.moc"
