#pragma once
// How long the program may wait on what it does not control: another copy's
// file lock, the sound thread, a shutdown that the system asked for. The
// figures depend on one another, so they live here together.
#include <chrono>

namespace quillmont {

// Another copy holds a file's lock only for the few milliseconds of a write;
// one that holds it longer must not freeze the window nor hold up a logout.
inline constexpr std::chrono::milliseconds kLockWait{400};

// Once both files are written, the sound thread gets this long to stop
// before the process ends without it.
inline constexpr std::chrono::milliseconds kSoundStopWait{200};

// From the first termination signal to the end of the process at the latest.
inline constexpr std::chrono::milliseconds kShutdownLimit{2000};

// At shutdown a lock is waited for on the best-players file, on the player's
// own copy when the first cannot be written, and on the settings file.
inline constexpr int kLockWaitsAtShutdown = 3;

// What is left of the limit is for the writes themselves (each one synced).
static_assert(kLockWaitsAtShutdown * kLockWait + kSoundStopWait + std::chrono::milliseconds{500} <= kShutdownLimit,
              "a shutdown that waits for every lock and the sound thread must still end in time");

}  // namespace quillmont
