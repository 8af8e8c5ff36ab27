// Start-up time and memory of roomcfg beside a bare Qt Widgets window, both as child processes.
//
//   startup_bench [--runs N] [--roomcfg PATH] [--file SHD] [--platform offscreen|xcb|both]
//   startup_bench --bare          (the reference window itself; used by the bench)
//
// Each run spawns the program, takes the wall time from the spawn to the line the program prints
// once its first window is painted ("shown-after-ms ..."), and the child's peak RSS from wait4().
// roomcfg runs with the room type file opened (--exit-when-shown FILE). The reference is a
// QWidget with one label of Chinese text, so both pay for the CJK fonts. Runs alternate between
// the two programs so that machine load hits both alike; the medians and their ratio are printed.
// "xcb" runs under xvfb-run when that is installed. Children get a private TMPDIR, so a roomcfg
// the user has open does not refuse the measured copies.

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(__linux__)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

int runBareWindow(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QWidget window;
    auto* label = new QLabel(QStringLiteral("Tavrin-开关配置软件-标准版V1.6.2"), &window);
    label->move(10, 10);
    window.resize(320, 60);
    window.show();
    QTimer::singleShot(0, &window, [&] {
        window.repaint();
        std::printf("shown-after-ms %.3f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return app.exec();
}

#if defined(__linux__)

struct Sample {
    double ms = 0;   // spawn to "shown" line
    long rssKb = 0;  // peak resident set of the child
    bool ok = false;
};

Sample spawnAndMeasure(const std::vector<std::string>& command,
                       const std::vector<std::string>& env) {
    Sample sample;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return sample;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envCopy;
    for (char** e = environ; *e; ++e) envCopy.emplace_back(*e);
    for (const std::string& setting : env) envCopy.push_back(setting);
    std::vector<char*> envp;
    for (const std::string& setting : envCopy) envp.push_back(const_cast<char*>(setting.c_str()));
    envp.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return sample;
    }
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while (output.find("shown-after-ms") == std::string::npos ||
           output.find('\n') == std::string::npos) {
        got = read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    const auto shown = std::chrono::steady_clock::now();
    while (got > 0) got = read(pipeFds[0], buffer, sizeof buffer);  // drain until the child ends
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    sample.ok = output.find("shown-after-ms") != std::string::npos && WIFEXITED(status) &&
                WEXITSTATUS(status) == 0;
    sample.ms = std::chrono::duration<double, std::milli>(shown - start).count();
    sample.rssKb = usage.ru_maxrss;
    return sample;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Options {
    int runs = 20;
    std::string roomcfg;
    std::string file = std::string(ROOM_EXAMPLES) + "/grand-hotel-deluxe.shd";
    std::string platform = "both";
    bool underXvfb = false;  // this process already runs inside xvfb-run
};

bool fileExists(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

std::string selfPath() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    path[n] = 0;
    return path;
}

// <build>/tests/bench/startup_bench -> <build>/src/app/roomcfg
std::string defaultRoomcfg() {
    std::string self = selfPath();
    const std::size_t cut = self.rfind("/tests/bench/");
    return cut == std::string::npos ? std::string("roomcfg")
                                    : self.substr(0, cut) + "/src/app/roomcfg";
}

int measure(const Options& options, const std::string& platform) {
    char tmpTemplate[] = "/tmp/startup-bench-XXXXXX";
    const char* tmp = mkdtemp(tmpTemplate);
    const std::vector<std::string> env = {"QT_QPA_PLATFORM=" + platform,
                                          std::string("TMPDIR=") + (tmp ? tmp : "/tmp")};
    std::vector<std::string> app = {options.roomcfg, "--exit-when-shown"};
    if (fileExists(options.file)) app.push_back(options.file);
    const std::vector<std::string> bare = {selfPath(), "--bare"};
    std::vector<double> appMs, bareMs, appRss, bareRss;
    int failures = 0;
    for (int i = 0; i < options.runs; ++i) {
        const Sample a = spawnAndMeasure(app, env);
        const Sample b = spawnAndMeasure(bare, env);
        if (!a.ok || !b.ok) {
            ++failures;
            continue;
        }
        appMs.push_back(a.ms);
        bareMs.push_back(b.ms);
        appRss.push_back(static_cast<double>(a.rssKb) / 1024.0);
        bareRss.push_back(static_cast<double>(b.rssKb) / 1024.0);
    }
    if (tmp) rmdir(tmp);
    std::printf("platform %s: %zu runs (%d failed), file %s\n", platform.c_str(), appMs.size(),
                failures, fileExists(options.file) ? options.file.c_str() : "(none)");
    if (appMs.empty()) return 1;
    const double ratio = median(appMs) / median(bareMs);
    std::printf("  roomcfg      median %7.1f ms   peak RSS median %6.1f MB (max %.1f)\n",
                median(appMs), median(appRss), *std::max_element(appRss.begin(), appRss.end()));
    std::printf("  bare window  median %7.1f ms   peak RSS median %6.1f MB\n", median(bareMs),
                median(bareRss));
    std::printf("  ratio %.2f (target <= 2.0)   RSS %s 80 MB\n", ratio,
                median(appRss) <= 80.0 ? "<=" : ">");
    return 0;
}

int runUnderXvfb(const Options& options) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) {
        std::printf("platform xcb: xvfb-run is not installed, skipped\n");
        return 0;
    }
    std::string command = "xvfb-run -a -s '-screen 0 1600x1000x24' '" + selfPath() +
                          "' --under-xvfb --platform xcb --runs " + std::to_string(options.runs) +
                          " --roomcfg '" + options.roomcfg + "' --file '" + options.file + "'";
    std::fflush(stdout);
    return std::system(command.c_str()) == 0 ? 0 : 1;
}

int runBench(int argc, char** argv) {
    Options options;
    options.roomcfg = defaultRoomcfg();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--runs" && hasValue)
            options.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--roomcfg" && hasValue)
            options.roomcfg = argv[++i];
        else if (arg == "--file" && hasValue)
            options.file = argv[++i];
        else if (arg == "--platform" && hasValue)
            options.platform = argv[++i];
        else if (arg == "--under-xvfb")
            options.underXvfb = true;
        else {
            std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    if (!fileExists(options.roomcfg)) {
        std::fprintf(stderr, "roomcfg not found at %s (use --roomcfg)\n", options.roomcfg.c_str());
        return 2;
    }
    int rc = 0;
    if (options.platform == "offscreen" || options.platform == "both")
        rc |= measure(options, "offscreen");
    if (options.platform == "xcb" && options.underXvfb)
        rc |= measure(options, "xcb");
    else if (options.platform == "xcb" || options.platform == "both")
        rc |= runUnderXvfb(options);
    return rc;
}

#else

int runBench(int, char**) {
    std::printf("the start-up bench spawns children with posix_spawn and wait4 (Linux only)\n");
    return 0;
}

#endif

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return runBareWindow(argc, argv);
    return runBench(argc, argv);
}
