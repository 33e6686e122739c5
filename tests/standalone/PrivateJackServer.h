#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

// A JACK server of the test's own: the dummy driver (no sound card) under a name nobody else
// uses, in synchronous mode so every client runs in every period whatever the machine's load.
class PrivateJackServer {
public:
    // Null, with the reason, when jackd cannot start at all.
    static std::unique_ptr<PrivateJackServer> Start(int rate, int period, std::string* why);
    ~PrivateJackServer();
    PrivateJackServer(const PrivateJackServer&) = delete;
    PrivateJackServer& operator=(const PrivateJackServer&) = delete;

    // Where jackd is on the PATH, or empty.
    static std::string JackdPath();

    const std::string& Name() const { return name_; }
    // Shuts the server down as its owner would (SIGTERM) and waits for it.
    void Stop();

private:
    static constexpr int kNames = 6;

    static std::unique_ptr<PrivateJackServer> Launch(const std::string& name, int rate, int period,
                                                     std::string* why);
    PrivateJackServer(pid_t pid, std::string name) : pid_(pid), name_(std::move(name)) {}

    pid_t pid_;
    std::string name_;
    int lock_ = -1;
};
