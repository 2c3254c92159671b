#pragma once
// What a still picture needs in memory, and what the machine can give it, so
// that a run too large is refused before it starts instead of killed halfway.
#include <cstdint>
#include <optional>

#include "engine/picture.h"

namespace kt {

// Bytes of the buffers a still picture holds at its peak.
std::uint64_t picturebytes(const Picture& p);

// The smaller of the memory the kernel reports available and the address
// space limit; nullopt when neither can be read.
std::optional<std::uint64_t> availablebytes();

// What the address-space limit leaves beside what the process has mapped;
// nullopt without a limit.
std::optional<std::uint64_t> addressspaceleft();

// The address space a worker thread reserves.
std::uint64_t threadbytes();

// The threads, at most `wanted` and at least 1, whose stacks leave `needed`
// bytes of `left` for the pictures and their saving, so that how many threads
// are asked for never decides whether a run's files can be written.
int threadsthatfit(int wanted, std::uint64_t needed, std::optional<std::uint64_t> left);

// "" or the message that refuses a run needing `needed` bytes of `available`.
std::string memoryrefusal(std::uint64_t needed, std::optional<std::uint64_t> available);

} // namespace kt
