#include "standalone/QuitSignals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t gQuitSignal = 0;

void OnQuitSignal(int signal) {
    gQuitSignal = signal;
}

} // namespace

void CatchQuitSignals() {
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

int QuitSignal() {
    return gQuitSignal;
}
