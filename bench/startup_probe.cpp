// Starts a program on the current X display and measures, from the moment it is executed:
// when its window with the given title is mapped, when a pixel of the given colour first shows
// in that window (a page that has loaded), and the memory of its whole process tree at the map
// and some seconds later, plus the CPU it uses while idle after that.
//
// startup_probe --title TITLE [--color FF9933] [--settle 2] -- program [args...]
// Prints one line: map_ms=... color_ms=... rss_map_kib=... rss_settled_kib=... idle_cpu_ticks=...
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The process and all its descendants.
std::set<pid_t> processTree(pid_t root) {
    std::multimap<pid_t, pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) {
            continue;
        }
        const auto close = line.rfind(')');
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        children.emplace(parent, std::stoi(name));
    }
    std::set<pid_t> tree{root};
    std::vector<pid_t> todo{root};
    while (!todo.empty()) {
        const pid_t pid = todo.back();
        todo.pop_back();
        auto [first, last] = children.equal_range(pid);
        for (auto it = first; it != last; ++it) {
            if (tree.insert(it->second).second) {
                todo.push_back(it->second);
            }
        }
    }
    return tree;
}

long rssKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

long cpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int i = 3; i <= 15; ++i) {
        rest >> field;
        if (i == 14) {
            utime = std::atol(field.c_str());
        } else if (i == 15) {
            stime = std::atol(field.c_str());
        }
    }
    return utime + stime;
}

long treeRss(pid_t root) {
    long total = 0;
    for (pid_t pid : processTree(root)) {
        total += rssKib(pid);
    }
    return total;
}

long treeCpu(pid_t root) {
    long total = 0;
    for (pid_t pid : processTree(root)) {
        total += cpuTicks(pid);
    }
    return total;
}

bool hasTitle(Display* display, Window window, const std::string& title) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) == 0 || name == nullptr) {
        return false;
    }
    const bool same = title == name;
    XFree(name);
    return same;
}

bool showsColour(Display* display, Window window, unsigned long rgb) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable) {
        return false;
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    bool found = false;
    for (int y = 0; y < attributes.height && !found; y += 2) {
        for (int x = 0; x < attributes.width && !found; x += 2) {
            found = (XGetPixel(image, x, y) & 0xFFFFFF) == rgb;
        }
    }
    XDestroyImage(image);
    return found;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string title;
    std::optional<unsigned long> colour;
    double settleSeconds = 2;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--") {
            ++first;
            break;
        }
        if (arg == "--title" && first + 1 < argc) {
            title = argv[++first];
        } else if (arg == "--color" && first + 1 < argc) {
            colour = std::strtoul(argv[++first], nullptr, 16);
        } else if (arg == "--settle" && first + 1 < argc) {
            settleSeconds = std::atof(argv[++first]);
        }
    }
    if (first >= argc || title.empty()) {
        std::fprintf(stderr, "usage: %s --title T [--color RRGGBB] [--settle S] -- program\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first], argv + first);
        _exit(127);
    }

    Window window = 0;
    double mapMs = -1;
    const auto deadline = start + std::chrono::seconds(60);
    while (window == 0 && Clock::now() < deadline) {
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        if (XPending(display) == 0 && poll(&fd, 1, 100) <= 0) {
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && hasTitle(display, event.xmap.window, title)) {
            window = event.xmap.window;
            mapMs = millisecondsSince(start);
        }
    }
    const long rssAtMap = treeRss(child);

    double colourMs = -1;
    if (colour && window != 0) {
        while (Clock::now() < deadline) {
            if (showsColour(display, window, *colour)) {
                colourMs = millisecondsSince(start);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::this_thread::sleep_for(std::chrono::duration<double>(settleSeconds));
    const long rssSettled = treeRss(child);
    const long cpuBefore = treeCpu(child);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long idleTicks = treeCpu(child) - cpuBefore;

    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    XCloseDisplay(display);

    std::printf(
        "map_ms=%.1f color_ms=%.1f rss_map_kib=%ld rss_settled_kib=%ld idle_cpu_ticks=%ld\n", mapMs,
        colourMs, rssAtMap, rssSettled, idleTicks);
    return window != 0 ? 0 : 1;
}
