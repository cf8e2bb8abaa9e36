#pragma once

#include <csignal>
#include <exception>

// SIGINT and SIGTERM ask a batch run to stop. The work checks between its steps and unwinds,
// which removes the staging folder and leaves earlier results as they were; a second signal
// ends the process at once (the next run then reclaims what is left).
void InstallInterruptHandlers();
// The signal that asked to stop; 0 when none did.
int InterruptSignal();
// Forgets an earlier request (for tests that interrupt one run after another).
void ClearInterrupt();

class CInterrupted : public std::exception {
public:
    const char* what() const noexcept override { return "interrupted"; }
};
void ThrowIfInterrupted();

// Ends the process with the signal that interrupted it, as an uncaught signal would have.
[[noreturn]] void EndByInterruptSignal();
