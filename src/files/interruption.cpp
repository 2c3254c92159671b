#include "files/interruption.h"

#include <atomic>
#include <csignal>

namespace kt {

namespace {

std::atomic<int> caughtsignal{0};
std::atomic<bool> abandoning{false};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

struct sigaction previousint {};
struct sigaction previousterm {};

void catchinterrupt(int signal)
{
    caughtsignal.store(signal);
}

} // namespace

InterruptGuard::InterruptGuard(OnInterrupt saves)
{
    caughtsignal.store(0);
    abandoning.store(saves == OnInterrupt::abandonsaves);
    struct sigaction action {};
    action.sa_handler = catchinterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousint);
    sigaction(SIGTERM, &action, &previousterm);
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &previousint, nullptr);
    sigaction(SIGTERM, &previousterm, nullptr);
    abandoning.store(false);
    caughtsignal.store(0);
}

bool interrupted()
{
    return caughtsignal.load() != 0;
}

int interruptedstatus()
{
    const int signal = caughtsignal.load();
    return signal ? 128 + signal : 0;
}

bool savesabandoned()
{
    return abandoning.load() && interrupted();
}

} // namespace kt
