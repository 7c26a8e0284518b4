// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up benchmark: starts programs on the X server and times each from its start to its window
// mapped and viewable, as an X client sees it. The root window's events tell the moment at once:
// MapNotify for a window mapped straight onto the root, and changes of _NET_CLIENT_LIST for a
// window that a window manager frames. Half a second later the program's resident memory is read.
//
//   window_watch RUNS PROGRAM...   one warm-up run of each, then RUNS rounds, the programs taking
//                                  turns to go first; prints the medians and their ratios to the
//                                  last program, the floor to compare with.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <optional>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample
{
    double milliseconds = 0;
    double residentMiB = 0;
};

std::string fixed(double value, int decimals)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    return std::string(buffer.data(), end.ptr);
}

void say(const std::string &line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

class RootWatch
{
public:
    RootWatch()
        : m_display(XOpenDisplay(nullptr))
    {
        if (m_display == nullptr)
            return;
        m_root = DefaultRootWindow(m_display);
        m_pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
        m_clientListAtom = XInternAtom(m_display, "_NET_CLIENT_LIST", False);
        XSelectInput(m_display, m_root, SubstructureNotifyMask | PropertyChangeMask);
        XSync(m_display, False);
    }
    ~RootWatch()
    {
        if (m_display != nullptr)
            XCloseDisplay(m_display);
    }
    bool open() const { return m_display != nullptr; }

    // Waits for a viewable window of the process; false after the timeout.
    bool waitForWindow(pid_t pid, std::chrono::seconds timeout)
    {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type == MapNotify && isShownWindowOf(event.xmap.window, pid))
                    return true;
                if (event.type == PropertyNotify && event.xproperty.atom == m_clientListAtom
                    && clientListHolds(pid))
                    return true;
            }
            pollfd descriptor{ConnectionNumber(m_display), POLLIN, 0};
            ::poll(&descriptor, 1, 100);
        }
        return false;
    }

private:
    std::optional<unsigned long> windowPid(Window window)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char *data = nullptr;
        const int status = XGetWindowProperty(m_display, window, m_pidAtom, 0, 1, False,
            XA_CARDINAL, &type, &format, &count, &after, &data);
        std::optional<unsigned long> pid;
        if (status == Success && data != nullptr && count == 1 && format == 32)
            pid = *reinterpret_cast<unsigned long *>(data);
        if (data != nullptr)
            XFree(data);
        return pid;
    }

    bool isViewable(Window window)
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(m_display, window, &attributes) != 0
            && attributes.map_state == IsViewable && attributes.width > 50;
    }

    // The window itself, or the client inside a window manager's frame.
    bool isShownWindowOf(Window window, pid_t pid)
    {
        if (windowPid(window) == static_cast<unsigned long>(pid))
            return isViewable(window);
        Window rootReturn = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        bool found = false;
        if (XQueryTree(m_display, window, &rootReturn, &parent, &children, &count) != 0) {
            for (unsigned int i = 0; i < count && !found; ++i)
                found = windowPid(children[i]) == static_cast<unsigned long>(pid)
                    && isViewable(children[i]);
        }
        if (children != nullptr)
            XFree(children);
        return found;
    }

    bool clientListHolds(pid_t pid)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char *data = nullptr;
        bool found = false;
        if (XGetWindowProperty(m_display, m_root, m_clientListAtom, 0, 1024, False, XA_WINDOW,
                &type, &format, &count, &after, &data)
                == Success
            && data != nullptr) {
            const auto *windows = reinterpret_cast<Window *>(data);
            for (unsigned long i = 0; i < count && !found; ++i)
                found = windowPid(windows[i]) == static_cast<unsigned long>(pid)
                    && isViewable(windows[i]);
        }
        if (data != nullptr)
            XFree(data);
        return found;
    }

    ::Display *m_display = nullptr;
    Window m_root = 0;
    Atom m_pidAtom = None;
    Atom m_clientListAtom = None;
};

double residentMiB(pid_t pid)
{
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), pid);
    std::ifstream status("/proc/" + std::string(digits.data(), end.ptr) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (!line.starts_with("VmRSS:"))
            continue;
        const std::size_t first = line.find_first_of("0123456789");
        long kib = 0;
        if (first != std::string::npos)
            std::from_chars(line.data() + first, line.data() + line.size(), kib);
        return static_cast<double>(kib) / 1024;
    }
    return 0;
}

void stop(pid_t pid)
{
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

std::optional<Sample> run(RootWatch &display, const std::string &program)
{
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    if (pid < 0 || !display.waitForWindow(pid, std::chrono::seconds(20))) {
        if (pid > 0)
            stop(pid);
        return std::nullopt;
    }
    const std::chrono::duration<double, std::milli> shown = Clock::now() - start;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Sample sample{shown.count(), residentMiB(pid)};
    stop(pid);
    return sample;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = 0;
    if (argc < 3
        || std::from_chars(argv[1], argv[1] + std::char_traits<char>::length(argv[1]), rounds).ec
            != std::errc{}
        || rounds < 1) {
        std::fputs("usage: window_watch RUNS PROGRAM...\n", stderr);
        return 2;
    }
    const std::vector<std::string> programs(argv + 2, argv + argc);
    RootWatch display;
    if (!display.open()) {
        std::fputs("window_watch: no X display\n", stderr);
        return 1;
    }
    std::vector<std::vector<Sample>> samples(programs.size());
    for (const std::string &program : programs) {
        if (!run(display, program)) {
            std::fputs(("window_watch: no window from " + program + "\n").c_str(), stderr);
            return 1;
        }
    }
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t turn = 0; turn < programs.size(); ++turn) {
            const std::size_t i = (turn + static_cast<std::size_t>(round)) % programs.size();
            const auto sample = run(display, programs[i]);
            if (!sample) {
                std::fputs(("window_watch: no window from " + programs[i] + "\n").c_str(), stderr);
                return 1;
            }
            samples[i].push_back(*sample);
        }
    }
    std::vector<double> startMedians;
    std::vector<double> memoryMedians;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        std::vector<double> starts;
        std::vector<double> memories;
        for (const Sample &sample : samples[i]) {
            starts.push_back(sample.milliseconds);
            memories.push_back(sample.residentMiB);
        }
        startMedians.push_back(median(starts));
        memoryMedians.push_back(median(memories));
        const auto [fastest, slowest] = std::minmax_element(starts.begin(), starts.end());
        const std::string name = programs[i].substr(programs[i].find_last_of('/') + 1);
        say(name + ": start-up median " + fixed(startMedians.back(), 1) + " ms ("
            + fixed(*fastest, 1) + " to " + fixed(*slowest, 1) + "), VmRSS median "
            + fixed(memoryMedians.back(), 1) + " MiB");
    }
    const std::size_t floor = programs.size() - 1;
    for (std::size_t i = 0; i < floor; ++i) {
        say("ratio to the last: start-up " + fixed(startMedians[i] / startMedians[floor], 2)
            + ", memory " + fixed(memoryMedians[i] / memoryMedians[floor], 2));
    }
    return 0;
}
