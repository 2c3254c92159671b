#pragma once
// Ctrl-C and SIGTERM during a run: the first asks the run to stop at its
// next safe point, a second ends the program at once.
namespace kt {

// What becomes of a file being saved when the run is interrupted.
enum class OnInterrupt {
    finishsaves, // written whole: each is a finished part of the run's work
    abandonsaves // its temporary is removed and the file it would replace stays
};

class InterruptGuard {
public:
    explicit InterruptGuard(OnInterrupt saves);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// While a guard is in place.
bool interrupted();
// The shell's status for the signal that interrupted the run (130 for
// SIGINT, 143 for SIGTERM), 0 if none did.
int interruptedstatus();
// Whether a save under way is to be given up.
bool savesabandoned();

} // namespace kt
