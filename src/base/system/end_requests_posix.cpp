// The system's requests to end the program, on a POSIX system.
#include "base/system/end_requests.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

#include "base/fatal.h"

namespace kelvora {
namespace {

// Touched by the signal handler, which may run on any of the program's threads: lock-free atomics
// only. The order of the two (each side writes its own, then reads the other's) makes sure that
// either the handler sees the hold or the holder sees the request.
std::atomic<int> holds{0};
std::atomic<bool> requested{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

[[noreturn]] void EndNow() { ::_exit(FatalReportShowing() ? kFatalExitCode : 0); }

void OnEndRequest(int) {
    requested = true;
    if (holds.load() == 0) EndNow();
}

}  // namespace

void EndAtOnceOnRequest() {
    struct sigaction action {};
    action.sa_handler = OnEndRequest;
    sigemptyset(&action.sa_mask);
    // Calls the handler interrupts go on afterwards: the handler returns only while a file is
    // being written, and that writing is to finish.
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void HoldEndRequests() {
    // A request that came just before the outermost hold: nothing has been written yet.
    if (holds.fetch_add(1) == 0 && requested.load()) EndNow();
}

void ReleaseEndRequests() {
    if (holds.fetch_sub(1) == 1 && requested.load()) EndNow();
}

}  // namespace kelvora
