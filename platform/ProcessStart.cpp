#include "platform/ProcessStart.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orv {

std::vector<std::string> SplitParameters(const std::string &Parameters)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : Parameters) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

namespace {

// In the grandchild: into the folder, then the program. On failure the
// errno goes down the pipe; on success the pipe closes with the exec.
// Only calls that are safe after a fork: the words were made before it.
[[noreturn]] void ExecInFolder(char *const *Argv, const char *Folder, int ReportFd)
{
    int error = 0;
    if (*Folder && ::chdir(Folder) != 0)
        error = errno;
    else {
        ::execv(Argv[0], Argv);
        error = errno;
    }
    ssize_t written = ::write(ReportFd, &error, sizeof error);
    (void)written;
    ::_exit(127);
}

} // namespace

bool StartDetached(const std::string &Program, const std::string &Parameters,
                   const std::string &WorkingFolder)
{
    if (Program.empty())
        return false;
    std::vector<std::string> args{Program};
    for (std::string &w : SplitParameters(Parameters))
        args.push_back(std::move(w));
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    // Two forks: the program's parent ends at once, so the program is
    // adopted by the system and never left as a zombie of this process.
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0)
            ExecInFolder(argv.data(), WorkingFolder.c_str(), report[1]);
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do
        got = ::read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    ::close(report[0]);
    const bool forked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return forked && got == 0;
}

} // namespace orv
