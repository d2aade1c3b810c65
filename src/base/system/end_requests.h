// The system's requests to end the program: SIGTERM (a desktop session logging out, `kill`) and
// SIGINT (Ctrl+C in the terminal the game was started from). On POSIX systems only: Windows asks
// a program to end through its windows' messages, which the host turns into a close.
#pragma once

namespace kelvora {

// From now on either request ends the program at once, wherever it is: its event loop, a turn's
// pauses, a modal window, the fatal report. Nothing is saved or deleted on the way out, as with
// the close box. The exit code is 0, or the fatal report's while that report is showing.
void EndAtOnceOnRequest();

// Held while a file is being put in place: a request that comes meanwhile ends the program as
// soon as the file is whole, so that a save is never cut in half and never leaves its temporary
// or lock file behind. Holds nest; each hold is released once.
void HoldEndRequests();
void ReleaseEndRequests();

class EndRequestsHeld {
public:
    EndRequestsHeld() { HoldEndRequests(); }
    ~EndRequestsHeld() { ReleaseEndRequests(); }
    EndRequestsHeld(const EndRequestsHeld&) = delete;
    EndRequestsHeld& operator=(const EndRequestsHeld&) = delete;
};

}  // namespace kelvora
