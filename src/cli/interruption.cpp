#include "interruption.h"

#include <atomic>
#include <pthread.h>
#include <unistd.h>

namespace {

std::atomic<int> interruptSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

void OnSignal(int signal) {
    if (interruptSignal.exchange(signal) != 0) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }
}

sigset_t InterruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int InterruptSignal() {
    return interruptSignal.load();
}

void ClearInterrupt() {
    interruptSignal = 0;
}

void ThrowIfInterrupted() {
    if (interruptSignal.load() != 0)
        throw CInterrupted();
}

void EndByInterruptSignal() {
    const int signal = interruptSignal.load();
    ::signal(signal, SIG_DFL);
    const sigset_t set = InterruptSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
}
