#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A program the test starts (a JACK server, an LV2 host) in a folder, with its own environment
// additions, its output in a file there and its standard input a pipe from the test. It is ended,
// by its process id, when the object goes.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 const std::string& folder, const std::string& outputName);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // Types text on the program's standard input.
    void Type(const std::string& text);
    // Closes the program's standard input.
    void CloseInput();
    bool Running();
    // Asks the program to end (SIGTERM), waits up to timeoutMs, then kills it; the exit code,
    // or -1 when it did not exit by itself.
    int Stop(int timeoutMs = 5000);
    // Waits up to timeoutMs for it to exit by itself: its exit code, or -1.
    int WaitForExit(int timeoutMs);
    std::string Output() const;

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int status_ = 0;
    bool exited_ = false;
    std::string outputPath_;
};
