// SPDX-License-Identifier: GPL-3.0-or-later
// Key-press benchmark: the real main window, offscreen, typed into 10 000 times. Each key is timed
// from the key event sent to the focused button to the readout repainted; a key that leaves the
// readout's text as it was is timed to the end of its handling. Prints the mean and the 99th
// percentile. Then the same typing into windows with and without the paper tape, taking turns,
// for the cost of the tape.
#include "ui/calculator.h"
#include "ui/module1.h"
#include "ui/platform.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Marks the readout's paint events; the paint itself follows once the filter returns.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Everyday typing: amounts, the four operators, "=", percent, sign change, backspace, clear entry
// and clear. Backspace is code 8, Enter 13.
const std::string typing = "1234,56+78,9=*3=-12=/4=\b\b5%n250+19,6%=e7*8\rc";

void press(char character)
{
    QWidget *target = QApplication::focusWidget();
    int key = QChar::fromLatin1(character).toUpper().unicode();
    if (character == '\b')
        key = Qt::Key_Backspace;
    else if (character == '\r')
        key = Qt::Key_Return;
    const QString text(QChar::fromLatin1(character));
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QApplication::sendEvent(target, &up);
}

struct KeyTime
{
    double microseconds = 0;
    bool repainted = false;
};

KeyTime timeKey(char character, const QLabel &readout, PaintWatch &watch)
{
    const QString before = readout.text();
    watch.painted = false;
    const auto start = Clock::now();
    press(character);
    const bool changed = readout.text() != before;
    if (changed) {
        while (!watch.painted)
            QCoreApplication::processEvents();
    } else {
        QCoreApplication::processEvents();
    }
    return {std::chrono::duration<double, std::micro>(Clock::now() - start).count(), changed};
}

std::string fixed(double value, int decimals)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    return std::string(buffer.data(), end.ptr);
}

// Mean, median, 99th percentile and maximum, in microseconds.
void report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (const double t : times)
        sum += t;
    // The value below which that share of the times lies.
    const auto at = [&](double share) {
        const auto rank =
            static_cast<std::size_t>(std::ceil(share * static_cast<double>(times.size())));
        return times[std::clamp<std::size_t>(rank, 1, times.size()) - 1];
    };
    const std::string line = std::string(what) + " (" + fixed(static_cast<double>(times.size()), 0)
        + "): mean " + fixed(sum / static_cast<double>(times.size()), 1) + " us, median "
        + fixed(at(0.5), 1) + " us, p99 " + fixed(at(0.99), 1) + " us, max "
        + fixed(times.back(), 1) + " us\n";
    std::fputs(line.c_str(), stdout);
}

// The main window with its tape's recording left out: the baseline of the tape's cost.
class WithoutTape : public korvex::Calculator
{
public:
    using Calculator::Calculator;
    void record(std::string_view) override { }
};

struct Typist
{
    korvex::Calculator &window;
    QLabel *readout;
    PaintWatch watch;
    std::vector<double> times;
    std::size_t next = 0;

    explicit Typist(korvex::Calculator &calculator)
        : window(calculator)
        , readout(calculator.findChild<QLabel *>(QStringLiteral("Readout")))
    {
        window.setMessagePresenter([](const korvex::Message &) {});
        window.show();
        readout->installEventFilter(&watch);
    }
    // The focus follows the active window, so each typist takes it before typing.
    void type(int keys, bool timed)
    {
        QApplication::setActiveWindow(&window);
        window.Form_Activate();
        for (int i = 0; i < keys; ++i, ++next) {
            const KeyTime time = timeKey(typing[next % typing.size()], *readout, watch);
            if (timed)
                times.push_back(time.microseconds);
        }
    }
};

double mean(const std::vector<double> &times)
{
    double sum = 0;
    for (const double t : times)
        sum += t;
    return sum / static_cast<double>(times.size());
}

// The mean of the fastest 99 %: a busy moment of the machine can stall any one key for
// milliseconds, and a few such stalls would decide a plain mean.
double trimmedMean(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    times.resize(times.size() * 99 / 100);
    return mean(times);
}

std::string ratios(const std::vector<double> &times, const std::vector<double> &base)
{
    return "mean " + fixed(mean(times) / mean(base), 3) + ", fastest 99 % "
        + fixed(trimmedMean(times) / trimmedMean(base), 3);
}

// Rounds of 500 keys, each window in turn and the first to type changing every round, so that
// a busy moment of the machine falls on all alike.
void compareTape(korvex::Module1 &module, korvex::Platform &platform)
{
    korvex::Module1 bareModule;
    WithoutTape bare(bareModule, platform);
    korvex::Calculator taped(module, platform);
    korvex::Module1 openModule;
    korvex::Calculator withOpenTape(openModule, platform);
    withOpenTape.findChild<QAction *>(QStringLiteral("Mnu_Historique"))->trigger();
    std::array<Typist, 3> typists{Typist(bare), Typist(taped), Typist(withOpenTape)};
    for (Typist &typist : typists)
        typist.type(2000, false); // warm-up; fills each tape to its thousand entries
    for (int round = 0; round < 40; ++round) {
        for (std::size_t i = 0; i < typists.size(); ++i)
            typists[(i + static_cast<std::size_t>(round)) % typists.size()].type(500, true);
    }
    report("without the tape", typists[0].times);
    report("with the tape", typists[1].times);
    report("with the tape window open", typists[2].times);
    const std::string line = "ratio to without the tape: with the tape "
        + ratios(typists[1].times, typists[0].times) + "; with its window open "
        + ratios(typists[2].times, typists[0].times) + "\n";
    std::fputs(line.c_str(), stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvex::Module1 module;
    korvex::Platform platform;
    korvex::Calculator window(module, platform);
    window.setMessagePresenter([](const korvex::Message &) {}); // nothing may wait for a click
    window.show();
    QApplication::setActiveWindow(&window);
    window.Form_Activate();
    auto *readout = window.findChild<QLabel *>(QStringLiteral("Readout"));
    PaintWatch watch;
    readout->installEventFilter(&watch);
    QCoreApplication::processEvents();

    for (int i = 0; i < 500; ++i) // warm-up: caches, fonts and the first layouts
        timeKey(typing[static_cast<std::size_t>(i) % typing.size()], *readout, watch);
    const int keys = 10000;
    std::vector<double> all;
    std::vector<double> repainted;
    for (int i = 0; i < keys; ++i) {
        const KeyTime time =
            timeKey(typing[static_cast<std::size_t>(i) % typing.size()], *readout, watch);
        all.push_back(time.microseconds);
        if (time.repainted)
            repainted.push_back(time.microseconds);
    }
    report("all keys", all);
    report("keys that change the readout", repainted);
    window.hide();
    compareTape(module, platform);
    return 0;
}
