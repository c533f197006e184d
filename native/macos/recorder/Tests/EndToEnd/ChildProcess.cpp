#include "ChildProcess.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

namespace EndToEnd {

namespace {

struct TempFile {
    std::string path;
    int fd = -1;

    TempFile() {
        const char* dir = std::getenv("TMPDIR");
        path = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/scenerun-XXXXXX";
        fd = ::mkstemp(path.data());
    }
    ~TempFile() {
        if (fd >= 0) ::close(fd);
        ::unlink(path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::string contents() const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

}  // namespace

namespace {

bool journalHasEvent(const std::string& path, const std::string& event) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto entry = nlohmann::json::parse(line, nullptr, false);
        if (entry.is_object() && entry.value("event", std::string()) == event) return true;
    }
    return false;
}

}  // namespace

ChildResult runChild(const ChildRun& run) {
    ChildResult result;
    TempFile out;
    TempFile err;
    if (out.fd < 0 || err.fd < 0) {
        result.startError = std::string("cannot create a temporary file: ") + std::strerror(errno);
        return result;
    }

    std::vector<std::string> argvStrings{run.program};
    argvStrings.insert(argvStrings.end(), run.args.begin(), run.args.end());
    std::vector<char*> argv;
    for (auto& arg : argvStrings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    // A pipe closed on exec tells the parent whether exec worked. (pipe2 would set
    // close-on-exec at once, but Apple's C library has none; no other thread of
    // this program starts a child, so no exec can slip in between.)
    int status[2];
    if (::pipe(status) != 0) {
        result.startError = std::string("pipe: ") + std::strerror(errno);
        return result;
    }
    ::fcntl(status[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(status[1], F_SETFD, FD_CLOEXEC);
    const pid_t pid = ::fork();
    if (pid < 0) {
        result.startError = std::string("fork: ") + std::strerror(errno);
        return result;
    }
    if (pid == 0) {
        ::close(status[0]);
        int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(out.fd, STDOUT_FILENO);
        ::dup2(err.fd, STDERR_FILENO);
        for (const auto& [name, value] : run.setEnvironment)
            ::setenv(name.c_str(), value.c_str(), 1);
        for (const auto& name : run.unsetEnvironment)
            ::unsetenv(name.c_str());
        if (!run.workingDirectory.empty() && ::chdir(run.workingDirectory.c_str()) != 0) {
            const int e = errno;
            [[maybe_unused]] auto n = ::write(status[1], &e, sizeof e);
            ::_exit(127);
        }
        ::execv(run.program.c_str(), argv.data());
        const int e = errno;
        [[maybe_unused]] auto n = ::write(status[1], &e, sizeof e);
        ::_exit(127);
    }
    ::close(status[1]);
    int execErrno = 0;
    const bool execFailed = ::read(status[0], &execErrno, sizeof execErrno) == sizeof execErrno;
    ::close(status[0]);

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    bool signalled = !run.signal.has_value();
    std::optional<Clock::time_point> signalClockStart;
    if (!run.signalAfterEvent) signalClockStart = start;
    int waitStatus = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &waitStatus, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) break;
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (!signalled && !signalClockStart && journalHasEvent(run.journalPath, *run.signalAfterEvent)) {
            signalClockStart = Clock::now();
        }
        if (!signalled && signalClockStart &&
            std::chrono::duration<double>(Clock::now() - *signalClockStart).count() >= run.signalAfter) {
            ::kill(pid, *run.signal);
            signalled = true;
        }
        if (elapsed > run.timeout) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &waitStatus, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (execFailed) {
        result.startError = "cannot start " + run.program + ": " + std::strerror(execErrno);
        return result;
    }
    if (WIFEXITED(waitStatus)) {
        result.exitStatus = WEXITSTATUS(waitStatus);
    } else if (WIFSIGNALED(waitStatus)) {
        result.exitStatus = 128 + WTERMSIG(waitStatus);
    }
    result.stdoutBytes = out.contents();
    result.stderrBytes = err.contents();
    return result;
}

}  // namespace EndToEnd
