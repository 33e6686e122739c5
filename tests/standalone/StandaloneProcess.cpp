#include "StandaloneProcess.h"

#include "HostTestSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

StandaloneProcess::StandaloneProcess(const std::vector<std::string>& args,
                                     const std::vector<std::string>& environment,
                                     const std::string& folder)
    : outPath_(folder + "/.kelvorantumix-out"), errPath_(folder + "/.kelvorantumix-err") {
    std::vector<std::string> settings;
    for (char** entry = environ; *entry; ++entry) {
        const std::string setting = *entry;
        bool replaced = false;
        for (const std::string& wanted : environment) {
            const std::string name = wanted.substr(0, wanted.find('=') + 1);
            replaced = replaced || setting.compare(0, name.size(), name) == 0;
        }
        if (!replaced) {
            settings.push_back(setting);
        }
    }
    for (const std::string& wanted : environment) {
        if (wanted.back() != '=') {
            settings.push_back(wanted);
        }
    }
    std::vector<std::string> words = {KVX_STANDALONE_EXE};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (std::string& word : words) {
        argv.push_back(&word[0]);
    }
    for (std::string& setting : settings) {
        envp.push_back(&setting[0]);
    }
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid_ = 0;
        status_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
}

StandaloneProcess::~StandaloneProcess() {
    if (Wait(0) == -2) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
}

void StandaloneProcess::Signal(int signal) {
    if (status_ == -2) {
        kill(pid_, signal);
    }
}

int StandaloneProcess::Wait(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (status_ == -2) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        } else if (std::chrono::steady_clock::now() >= end) {
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return status_;
}

std::string StandaloneProcess::Out() const {
    return ReadText(outPath_);
}

std::string StandaloneProcess::Err() const {
    return ReadText(errPath_);
}
