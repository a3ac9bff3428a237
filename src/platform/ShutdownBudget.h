#pragma once
// How long the program may wait on what it does not control: another copy's
// file lock, the sound thread, a shutdown that the system asked for. The
// figures depend on one another, so they live here together.
#include <chrono>

namespace quillmont {

// During play no lock is waited for: a change that found the lock busy is
// tried again after this, then after twice as long each time, up to the
// longest, so that a copy that holds it long costs nothing but the tries.
inline constexpr std::chrono::milliseconds kLockRetryFirst{100};
inline constexpr std::chrono::milliseconds kLockRetryLongest{3200};

// At shutdown all locks together are waited for this long at most; a lock
// still busy then leaves the change in a journal beside its file.
inline constexpr std::chrono::milliseconds kLockWaitAtShutdown{1000};

// Once both files are written, the sound thread gets this long to stop
// before the process ends without it.
inline constexpr std::chrono::milliseconds kSoundStopWait{200};

// From the first termination signal to the end of the process at the
// latest; further signals do not shorten it.
inline constexpr std::chrono::milliseconds kShutdownLimit{2000};

// What is left of the limit is for the writes and journals themselves
// (each one synced).
static_assert(kLockWaitAtShutdown + kSoundStopWait + std::chrono::milliseconds{500} <= kShutdownLimit,
              "a shutdown that waits for every lock and the sound thread must still end in time");

}  // namespace quillmont
