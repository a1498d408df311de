// Start-up time and peak memory of two programs, measured in turns on the same
// X display:
//
//   startup_bench [--runs N] [--warmup N] [--settle MS] [--target RATIO] [--strict] PROGRAM BASELINE
//
// Time is from just before fork() to the MapNotify of the program's first
// top-level window. Peak memory is the child's ru_maxrss: the program is left
// to paint for --settle milliseconds after mapping, then closed with
// WM_DELETE_WINDOW as a window manager's close box would. Runs alternate
// between the two programs, and which goes first alternates too, so drift in
// the machine's load hits both alike. Both ratios are compared with the target
// (1.3 unless told); --strict makes a miss the exit status 3.

#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample
{
    double startMs = 0;
    long peakKb = 0;
};

void sendDelete(Display *dpy, Window w)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, w, False, NoEventMask, &event);
    XFlush(dpy);
}

// Reaps the child, killing it if it does not end by itself in time.
std::optional<rusage> reap(pid_t pid, std::chrono::milliseconds grace)
{
    const auto deadline = Clock::now() + grace;
    rusage usage{};
    int status = 0;
    for (;;) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            return usage;
        if (done < 0)
            return std::nullopt;
        if (Clock::now() >= deadline) {
            std::fprintf(stderr, "startup_bench: pid %d did not end after WM_DELETE_WINDOW; killing it\n", pid);
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            return usage;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::optional<Sample> runOnce(Display *dpy, const char *program, int settleMs)
{
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, True); // drop events left from the previous run

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return std::nullopt;
    }
    if (pid == 0) {
        // Qt's warnings about the bare test display are not what is measured.
        if (const int devNull = open("/dev/null", O_WRONLY); devNull >= 0) {
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        execl(program, program, static_cast<char *>(nullptr));
        std::perror(program);
        _exit(127);
    }

    const int fd = ConnectionNumber(dpy);
    const auto deadline = start + std::chrono::seconds(30);
    std::optional<Window> mapped;
    while (!mapped) {
        while (!mapped && XPending(dpy)) {
            XEvent event;
            XNextEvent(dpy, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect && event.xmap.event == root)
                mapped = event.xmap.window;
        }
        if (mapped)
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            std::fprintf(stderr, "startup_bench: %s mapped no window in 30 s\n", program);
            kill(pid, SIGKILL);
            reap(pid, std::chrono::seconds(1));
            return std::nullopt;
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, static_cast<int>(std::min<long long>(left, 100)));
    }
    const auto shown = Clock::now();

    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    sendDelete(dpy, *mapped);
    const auto usage = reap(pid, std::chrono::seconds(10));
    if (!usage)
        return std::nullopt;
    Sample s;
    s.startMs = std::chrono::duration<double, std::milli>(shown - start).count();
    s.peakKb = usage->ru_maxrss;
    return s;
}

template<typename T>
T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Series
{
    const char *label;
    const char *program;
    std::vector<double> ms;
    std::vector<long> kb;
};

int usage()
{
    std::fprintf(stderr, "usage: startup_bench [--runs N] [--warmup N] [--settle MS] [--target RATIO] [--strict] PROGRAM BASELINE\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    int runs = 15;
    int warmup = 2;
    int settleMs = 300;
    double target = 1.3;
    bool strict = false;
    std::vector<const char *> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 < argc && a == "--runs")
            runs = std::atoi(argv[++i]);
        else if (i + 1 < argc && a == "--warmup")
            warmup = std::atoi(argv[++i]);
        else if (i + 1 < argc && a == "--settle")
            settleMs = std::atoi(argv[++i]);
        else if (i + 1 < argc && a == "--target")
            target = std::atof(argv[++i]);
        else if (a == "--strict")
            strict = true;
        else if (a.starts_with("--"))
            return usage();
        else
            programs.push_back(argv[i]);
    }
    if (programs.size() != 2 || runs < 1 || warmup < 0)
        return usage();

    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "startup_bench: cannot open the X display (DISPLAY=%s)\n", std::getenv("DISPLAY"));
        return 1;
    }

    Series series[2] = {{"ferolune", programs[0], {}, {}}, {"bare Qt window", programs[1], {}, {}}};
    for (int round = 0; round < warmup + runs; ++round) {
        for (int k = 0; k < 2; ++k) {
            Series &s = series[(round + k) % 2];
            const auto sample = runOnce(dpy, s.program, settleMs);
            if (!sample)
                return 1;
            if (round >= warmup) {
                s.ms.push_back(sample->startMs);
                s.kb.push_back(sample->peakKb);
            }
        }
    }

    std::printf("%d runs each after %d warm-up, interleaved; median (min - max)\n", runs, warmup);
    std::printf("%-16s %28s %30s\n", "", "start to window mapped", "peak resident memory");
    for (const Series &s : series) {
        std::printf("%-16s %9.1f ms (%6.1f - %6.1f) %11.1f MiB (%5.1f - %5.1f)\n", s.label, median(s.ms),
                    *std::min_element(s.ms.begin(), s.ms.end()), *std::max_element(s.ms.begin(), s.ms.end()),
                    static_cast<double>(median(s.kb)) / 1024.0,
                    static_cast<double>(*std::min_element(s.kb.begin(), s.kb.end())) / 1024.0,
                    static_cast<double>(*std::max_element(s.kb.begin(), s.kb.end())) / 1024.0);
    }
    const double timeRatio = median(series[0].ms) / median(series[1].ms);
    const double memoryRatio = static_cast<double>(median(series[0].kb)) / static_cast<double>(median(series[1].kb));
    std::printf("ratio ferolune / bare: time %.2fx, memory %.2fx\n", timeRatio, memoryRatio);

    const bool met = timeRatio <= target && memoryRatio <= target;
    std::printf("target %.2fx: time %s, memory %s\n", target, timeRatio <= target ? "met" : "NOT met",
                memoryRatio <= target ? "met" : "NOT met");
    if (strict && !met)
        return 3;
    return 0;
}
