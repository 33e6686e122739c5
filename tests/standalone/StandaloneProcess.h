#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// kelvorantumix started by a test as a user starts it, its output kept in files of folder.
class StandaloneProcess {
public:
    // environment: NAME=VALUE settings added to the test's own (NAME= with nothing removes one).
    StandaloneProcess(const std::vector<std::string>& args,
                      const std::vector<std::string>& environment, const std::string& folder);
    // Kills the program if it is still running.
    ~StandaloneProcess();
    StandaloneProcess(const StandaloneProcess&) = delete;
    StandaloneProcess& operator=(const StandaloneProcess&) = delete;

    void Signal(int signal);
    // The exit status once the program has ended within timeoutMs; -1 when a signal killed it,
    // -2 when it is still running.
    int Wait(int timeoutMs = 10000);
    std::string Out() const;
    std::string Err() const;

private:
    pid_t pid_ = 0;
    int status_ = -2;
    std::string outPath_;
    std::string errPath_;
};
