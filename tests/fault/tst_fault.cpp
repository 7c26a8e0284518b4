// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion/file_system.h"
#include "conversion/settings.h"
#include "conversion/settings_dialog.h"
#include "conversion/settings_file.h"
#include "tests/support/fake_window.h"
#include "tests/support/folder.h"

#include <QTest>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace korvex;

namespace {

// Bytes the program never writes itself (LF line ends, a fourth line): a file rewritten with the
// same values would not pass for the old one.
const std::string oldFile = "6.55957\n2\n19.6\n# set by hand\n";
const std::string newFile = "7.25\r\n2\r\n5.5\r\n"; // what the save below writes: 6, 3, 5 bytes

// A limit of the process set for one save and put back afterwards. A write past the file-size
// limit fails with EFBIG, once SIGXFSZ no longer ends the process; an open past the descriptor
// limit fails with EMFILE. Both are what the system itself answers, not a stand-in.
class ProcessLimit
{
public:
    ProcessLimit(int resource, rlim_t soft)
        : m_resource(resource)
    {
        ::getrlimit(resource, &m_saved);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{soft, m_saved.rlim_max};
        m_applied = ::setrlimit(resource, &limited) == 0;
    }
    ~ProcessLimit()
    {
        ::setrlimit(m_resource, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    bool applied() const { return m_applied; }

private:
    int m_resource;
    rlimit m_saved{};
    void (*m_previousHandler)(int) = SIG_DFL;
    bool m_applied = false;
};

// The lowest free descriptor: with the limit there, the next open has none left.
rlim_t nextDescriptor()
{
    const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(probe);
    return static_cast<rlim_t>(probe);
}

Settings settingsIn(const Folder &folder, double rate, std::int16_t format, double vat)
{
    Settings settings;
    settings.SettingsDirectory = folder.path + "/";
    settings.ConversionRate = rate;
    settings.ResultFormat = format;
    settings.VatRate = vat;
    return settings;
}

// Where a save was when its process was killed, kept in memory shared with the parent.
struct SaveProgress
{
    std::atomic<int> started{0};
    std::atomic<int> saving{0};
    std::atomic<int> completed{0};
};

// Saves the two settings one after the other until killed; dies with the parent too.
[[noreturn]] void saveForever(const Settings &a, const Settings &b, SaveProgress &progress)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    PosixFileSystem files;
    progress.started = 1;
    for (int i = 0;; ++i) {
        progress.saving = 1;
        SaveSettings(i % 2 == 0 ? b : a, files);
        progress.saving = 0;
        ++progress.completed;
    }
}

} // namespace

Q_DECLARE_METATYPE(std::string)

class TestFault : public QObject
{
    Q_OBJECT

private slots:
    void systemRefusesSave_data();
    void systemRefusesSave();
    void killedSaveLeavesWholeFile();
};

void TestFault::systemRefusesSave_data()
{
    QTest::addColumn<int>("resource");
    QTest::addColumn<int>("limit"); // bytes for the file size; -1: the next descriptor
    QTest::addColumn<bool>("saved");
    QTest::newRow("no limit reached: the control case") << int(RLIMIT_FSIZE) << 1000 << true;
    QTest::newRow("open: no descriptor left") << int(RLIMIT_NOFILE) << -1 << false;
    QTest::newRow("first write: no room at all") << int(RLIMIT_FSIZE) << 0 << false;
    QTest::newRow("first write cut short") << int(RLIMIT_FSIZE) << 3 << false;
    QTest::newRow("second write: no room at all") << int(RLIMIT_FSIZE) << 6 << false;
    QTest::newRow("second write cut short") << int(RLIMIT_FSIZE) << 7 << false;
    QTest::newRow("third write: no room at all") << int(RLIMIT_FSIZE) << 9 << false;
    QTest::newRow("third write cut short, one byte missing") << int(RLIMIT_FSIZE) << 13 << false;
}

// The real file layer against the system's own refusals, through the dialog's save button.
void TestFault::systemRefusesSave()
{
    QFETCH(int, resource);
    QFETCH(int, limit);
    QFETCH(bool, saved);
    Folder folder;
    folder.write(oldFile);
    const QStringList before = folder.entries();
    Settings settings = settingsIn(folder, 6.55957, 2, 19.6);
    form1::Form1_Load(settings);
    PosixFileSystem files;
    FakeWindow host;
    {
        const ProcessLimit limited(resource, limit < 0 ? nextDescriptor() : rlim_t(limit));
        QVERIFY(limited.applied());
        form1::Command3_Click(settings, "7.25", "5.5", files, host);
    }
    QCOMPARE(folder.read(), saved ? newFile : oldFile);
    QCOMPARE(folder.entries(), before); // no temporary file behind
    QCOMPARE(host.events, std::string(saved ? "" : "S(0,) "));
}

// A process killed at any moment of a save leaves the old file or the new one, whole, and at most
// one temporary file, which the next save removes. The kills fall at random moments of a loop
// that saves two different files one after the other.
void TestFault::killedSaveLeavesWholeFile()
{
    Folder folder;
    const Settings a = settingsIn(folder, 6.55957, 2, 19.6);
    const Settings b = settingsIn(folder, 0.5, 4, 5.5);
    const std::string bytesA = "6.55957\r\n2\r\n19.6\r\n", bytesB = "0.5\r\n4\r\n5.5\r\n";
    PosixFileSystem files;
    // The kills spread over the child's first few saves, however fast this disk.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 10; ++i)
        QVERIFY(SaveSettings(i % 2 == 0 ? b : a, files));
    const auto save = (std::chrono::steady_clock::now() - start) / 10;
    const auto longest = 4 * std::chrono::duration_cast<std::chrono::microseconds>(save);

    void *shared = ::mmap(
        nullptr, sizeof(SaveProgress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    QVERIFY(shared != MAP_FAILED);
    auto *progress = new (shared) SaveProgress;
    std::mt19937 random(20240611);
    std::uniform_int_distribution<long> delayMicroseconds(0, longest.count());
    const int kills = 200;
    int killedWhileSaving = 0;
    int foundB = 0;
    for (int kill = 0; kill < kills; ++kill) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0)
            saveForever(a, b, *progress);
        while (progress->started.exchange(0) == 0) {
            QVERIFY2(::waitpid(child, nullptr, WNOHANG) == 0, "the saving process ended by itself");
            std::this_thread::yield();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        killedWhileSaving += progress->saving.exchange(0);
        const std::string found = folder.read();
        if (found != bytesA && found != bytesB)
            QFAIL(qPrintable(QStringLiteral("kill %1 left \"%2\"")
                                 .arg(kill)
                                 .arg(QString::fromStdString(found))));
        foundB += found == bytesB;
        // Each save removes what killed ones left, so only the save cut short leaves a file.
        QVERIFY2(
            folder.entries().size() <= 2, qPrintable(folder.entries().join(QStringLiteral(", "))));
    }
    const int completed = progress->completed;
    ::munmap(shared, sizeof(SaveProgress));
    qInfo("%s",
        qPrintable(QStringLiteral("%1 kills, %2 of them during a save; %3 saves completed")
                       .arg(kills)
                       .arg(killedWhileSaving)
                       .arg(completed)));
    // Otherwise the loop above proved nothing: the kills must have cut saves short, and the
    // children must have got far enough to replace the file.
    QVERIFY(killedWhileSaving > kills / 2);
    QVERIFY(completed > 0 && foundB > 0);
    // What the killed saves left behind does not stand in the way of the next start or save.
    Settings restarted;
    LoadSettings(restarted, folder.path, files);
    QVERIFY(restarted.ConversionRate == 6.55957 || restarted.ConversionRate == 0.5);
    QVERIFY(SaveSettings(b, files));
    QCOMPARE(folder.read(), bytesB);
    QCOMPARE(folder.entries(), QStringList{QStringLiteral("Korvex.cfg")});
}

QTEST_GUILESS_MAIN(TestFault)
#include "tst_fault.moc"
