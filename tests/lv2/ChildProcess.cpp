#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment, const std::string& folder,
                           const std::string& outputName)
    : outputPath_(folder + "/" + outputName) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return;
    }
    // Everything the child needs is made before fork: after it only async-signal-safe calls.
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> settings;
    for (const std::string& setting : environment) {
        settings.push_back(const_cast<char*>(setting.c_str()));
    }
    for (char** inherited = environ; *inherited; ++inherited) {
        settings.push_back(*inherited);
    }
    settings.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeEnds[0], 0);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        const int out = open(outputName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
            close(out);
        }
        execvpe(args[0], args.data(), settings.data());
        _exit(127);
    }
    close(pipeEnds[0]);
    input_ = pipeEnds[1];
    signal(SIGPIPE, SIG_IGN);
}

ChildProcess::~ChildProcess() {
    Stop();
    CloseInput();
}

void ChildProcess::Type(const std::string& text) {
    if (input_ >= 0 && write(input_, text.data(), text.size()) < 0) {
        CloseInput();
    }
}

void ChildProcess::CloseInput() {
    if (input_ >= 0) {
        close(input_);
        input_ = -1;
    }
}

bool ChildProcess::Running() {
    if (pid_ <= 0 || exited_) {
        return false;
    }
    if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        exited_ = true;
    }
    return !exited_;
}

int ChildProcess::WaitForExit(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!exited_ || !WIFEXITED(status_)) {
        return -1;
    }
    return WEXITSTATUS(status_);
}

int ChildProcess::Stop(int timeoutMs) {
    if (pid_ <= 0) {
        return -1;
    }
    if (Running()) {
        kill(pid_, SIGTERM);
        if (WaitForExit(timeoutMs) < 0 && Running()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
            exited_ = true;
            return -1;
        }
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

std::string ChildProcess::Output() const {
    std::ifstream file(outputPath_);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
