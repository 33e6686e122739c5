#include "PrivateJackServer.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace {

bool ServerAnswers(const std::string& name) {
    jack_status_t status{};
    jack_client_t* client = jack_client_open(
        "kvx-probe", jack_options_t(JackNoStartServer | JackServerName), &status, name.c_str());
    if (!client) {
        return false;
    }
    jack_client_close(client);
    return true;
}

void Quiet(const char*) {}

} // namespace

std::string PrivateJackServer::JackdPath() {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t colon = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, colon - start) + "/jackd";
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = colon + 1;
    }
    return {};
}

std::unique_ptr<PrivateJackServer> PrivateJackServer::Start(int rate, int period,
                                                            std::string* why) {
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
    // A few names used again and again: JACK keeps a machine-wide table of eight servers and
    // frees the entry of one that died without closing only when a server of the same name
    // starts. A test holds a lock on its name while its server runs; tests running side by side
    // take the next name.
    for (int slot = 1; slot <= kNames; ++slot) {
        const std::string name = "kvx-standalone-test-" + std::to_string(slot);
        const int lock = open(("/tmp/" + name + ".lock").c_str(), O_CREAT | O_RDWR, 0600);
        if (lock < 0 || flock(lock, LOCK_EX | LOCK_NB) != 0 || ServerAnswers(name)) {
            if (lock >= 0) {
                close(lock);
            }
            continue;
        }
        std::unique_ptr<PrivateJackServer> server = Launch(name, rate, period, why);
        if (server) {
            server->lock_ = lock;
            return server;
        }
        close(lock);
    }
    *why = "jackd could not start under any of its test names: " + *why;
    return nullptr;
}

std::unique_ptr<PrivateJackServer> PrivateJackServer::Launch(const std::string& name, int rate,
                                                             int period, std::string* why) {
    const std::string rateText = std::to_string(rate);
    const std::string periodText = std::to_string(period);
    std::vector<std::string> words = {"jackd", "-S",    "-t", "5000",   "-n", name,
                                      "-d",    "dummy", "-r", rateText, "-p", periodText};
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(&word[0]);
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "jackd", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        *why = "jackd cannot be started (is jackd2 installed?)";
        return nullptr;
    }
    std::unique_ptr<PrivateJackServer> server(new PrivateJackServer(pid, name));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!ServerAnswers(name)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            server->pid_ = 0;
            *why = "jackd exited at once";
            return nullptr;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            *why = "jackd did not answer within 10 s";
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return server;
}

PrivateJackServer::~PrivateJackServer() {
    Stop();
    if (lock_ >= 0) {
        close(lock_);
    }
}

void PrivateJackServer::Stop() {
    if (pid_ <= 0) {
        return;
    }
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = 0;
}
