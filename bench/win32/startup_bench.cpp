// Start-up of the Windows program against its floor, a bare window with the same controls
// (bare_window.cpp). For each, after one warm-up run, N runs taken in turns: the time from
// CreateProcessW to its first window (the program's splash screen) and to its main window being
// visible, then, once it is idle, its working set and peak working set; then it is closed as a
// user closes it (WM_CLOSE) and must end with 0. Prints the medians of each and the ratios
// program / floor.
//
// Usage: startup_bench [RUNS [TOLVANE_EXE BARE_WINDOW_EXE]]
// (15 runs by default; by default the programs as this build made them)
//
// The program runs from a copy in a folder of its own, as it writes its search page beside
// itself. Wine sends no EVENT_OBJECT_SHOW to other processes, so the window is looked for every
// millisecond, in a wait on the process that also sees it end.

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tolvane_version.h"

namespace {

namespace fs = std::filesystem;

// Far beyond a start under a cold Wine; only a program that hangs waits this long.
constexpr DWORD kPatience = 60'000;
constexpr int kDefaultRuns = 15;

std::wstring widen(std::string_view utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

double millisecondsSince(LARGE_INTEGER start) {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::wstring titleOf(HWND window) {
    std::array<wchar_t, 256> title{};
    return {title.data(), static_cast<std::size_t>(GetWindowTextW(window, title.data(),
                                                                  static_cast<int>(title.size())))};
}

std::wstring classOf(HWND window) {
    std::array<wchar_t, 256> name{};
    return {name.data(), static_cast<std::size_t>(
                             GetClassNameW(window, name.data(), static_cast<int>(name.size())))};
}

// The process's visible top-level windows.
std::vector<HWND> visibleWindows(DWORD processId) {
    std::vector<HWND> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    std::erase_if(windows, [processId](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner != processId || !IsWindowVisible(window);
    });
    return windows;
}

// Its main window: of that title, and no message box.
HWND mainWindowAmong(const std::vector<HWND>& windows, const std::wstring& title) {
    for (const HWND window : windows) {
        if (titleOf(window) == title && classOf(window) != L"#32770") {
            return window;
        }
    }
    return nullptr;
}

struct Program {
    const char* name;
    fs::path path;
    std::wstring title;
};

struct Run {
    double firstShownMs;  // its first window, a splash screen or the main window
    double shownMs;
    SIZE_T peakWorkingSet;
    SIZE_T workingSet;
};

// One start, measured; nothing when the program did not show its window, or did not end well.
std::optional<Run> measure(const Program& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    std::wstring commandLine = L"\"" + program.path.wstring() + L"\"";
    LARGE_INTEGER start{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, program.path.parent_path().c_str(), &startup, &created)) {
        std::fprintf(stderr, "%s: CreateProcessW failed with error %lu\n", program.name,
                     GetLastError());
        return std::nullopt;
    }
    const UniqueHandle process(created.hProcess);
    CloseHandle(created.hThread);

    HWND window = nullptr;
    std::optional<double> firstShown;
    for (;;) {
        const std::vector<HWND> shown = visibleWindows(created.dwProcessId);
        if (!firstShown && !shown.empty()) {
            firstShown = millisecondsSince(start);
        }
        if ((window = mainWindowAmong(shown, program.title))) {
            break;
        }
        if (WaitForSingleObject(process.get(), 1) != WAIT_TIMEOUT ||
            millisecondsSince(start) > kPatience) {
            std::fprintf(stderr, "%s: no visible main window\n", program.name);
            TerminateProcess(process.get(), 1);
            return std::nullopt;
        }
    }
    Run run{*firstShown, millisecondsSince(start), 0, 0};

    // Idle: waiting for input in its message loop, which a sent message reaches.
    DWORD_PTR ignored = 0;
    WaitForInputIdle(process.get(), kPatience);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kPatience, &ignored);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.get(), &memory, sizeof memory)) {
        run.peakWorkingSet = memory.PeakWorkingSetSize;
        run.workingSet = memory.WorkingSetSize;
    }

    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.get(), kPatience) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &code) || code != 0) {
        std::fprintf(stderr, "%s: did not end with 0 after WM_CLOSE (%lu)\n", program.name, code);
        TerminateProcess(process.get(), 1);
        return std::nullopt;
    }
    return run;
}

template <typename Value>
double median(std::vector<Value> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2
               ? static_cast<double>(values[middle])
               : (static_cast<double>(values[middle - 1]) + static_cast<double>(values[middle])) /
                     2;
}

struct Medians {
    double firstShownMs;
    double shownMs;
    double peakKiB;
    double workingKiB;
};

Medians mediansOf(const std::vector<Run>& runs) {
    std::vector<double> firstShown;
    std::vector<double> shown;
    std::vector<SIZE_T> peak;
    std::vector<SIZE_T> working;
    for (const Run& run : runs) {
        firstShown.push_back(run.firstShownMs);
        shown.push_back(run.shownMs);
        peak.push_back(run.peakWorkingSet / 1024);
        working.push_back(run.workingSet / 1024);
    }
    return {median(firstShown), median(shown), median(peak), median(working)};
}

// A copy of the program and the files it reads beside itself, in a folder whose name no ANSI
// code page holds whole; removed with everything in it at the end.
class ProgramCopy {
public:
    explicit ProgramCopy(const fs::path& built) {
        fs::create_directories(folder);
        fs::copy_file(built, path());
        for (const char* name : {"tolvane.chm", "banner_top.gif", "searchfor.gif", "go.gif"}) {
            if (fs::exists(built.parent_path() / name)) {
                fs::copy_file(built.parent_path() / name, folder / name);
            }
        }
        file = built.filename();
    }
    ~ProgramCopy() {
        std::error_code ignored;
        fs::remove_all(folder.parent_path(), ignored);
    }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    fs::path path() const { return folder / file; }

private:
    const fs::path folder = fs::temp_directory_path() /
                            ("tolvane-bench-" + std::to_string(std::random_device()())) /
                            L"Tolvane \u00e9t\u00e9 \u2103";
    fs::path file = "tolvane.exe";
};

// The Wine version, when this runs under Wine.
const char* wineVersion() {
    using Version = const char*(CDECL*)();
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto version = ntdll ? reinterpret_cast<Version>(reinterpret_cast<void*>(
                                     GetProcAddress(ntdll, "wine_get_version")))
                               : nullptr;
    return version ? version() : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : kDefaultRuns;
    if (runs < 1 || (argc != 2 && argc != 1 && argc != 4)) {
        std::fprintf(stderr, "usage: startup_bench [RUNS [TOLVANE_EXE BARE_WINDOW_EXE]]\n");
        return 2;
    }
    const fs::path builtProgram =
        fs::path(argc == 4 ? argv[2] : TOLVANE_BENCH_PROGRAM).make_preferred();
    const fs::path bareWindow =
        fs::path(argc == 4 ? argv[3] : TOLVANE_BENCH_BARE_WINDOW).make_preferred();
    const ProgramCopy copy(builtProgram);
    const std::array<Program, 2> programs = {
        Program{"tolvane.exe", copy.path(), widen(tolvane::version::kProgramTitle)},
        Program{"bare_window.exe", bareWindow, L"Bare window"}};

    std::array<std::vector<Run>, 2> results;
    for (int round = 0; round <= runs; ++round) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const std::optional<Run> run = measure(programs[i]);
            if (!run) {
                return 1;
            }
            if (round > 0) {  // the first round warms Wine and the file cache
                results[i].push_back(*run);
            }
        }
    }

    const Medians program = mediansOf(results[0]);
    const Medians floor = mediansOf(results[1]);
    const char* wine = wineVersion();
    std::printf("Start-up, median of %d runs each, in turns, after one warm-up run each%s%s%s\n",
                runs, wine ? " (Wine " : "", wine ? wine : "", wine ? ")" : "");
    std::printf("%-16s %12s %12s %18s %14s\n", "", "first window", "main window",
                "peak working set", "working set");
    const auto line = [](const char* name, const Medians& m) {
        std::printf("%-16s %9.1f ms %9.1f ms %14.0f KiB %10.0f KiB\n", name, m.firstShownMs,
                    m.shownMs, m.peakKiB, m.workingKiB);
    };
    line(programs[0].name, program);
    line(programs[1].name, floor);
    std::printf("%-16s %12.2f %12.2f %18.2f %14.2f\n", "tolvane / bare",
                program.firstShownMs / floor.firstShownMs, program.shownMs / floor.shownMs,
                program.peakKiB / floor.peakKiB, program.workingKiB / floor.workingKiB);
    return 0;
}
