#pragma once
// Runs a piece of a test as an ordinary user. Root may read and write any
// file whatever its mode, so a test of what an ordinary player meets (a file
// of mode 0200, a read-only folder) runs its body in a child process that
// dropped to "nobody"; anyone else runs it in place.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace quillmont::testing {

inline constexpr uid_t kNobody = 65534;

inline void AsOrdinaryUser(const std::function<void()>& body) {
  if (::geteuid() != 0) {
    body();
    return;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
    if (dropped) body();
    ::_exit(dropped && !::testing::Test::HasFailure() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the part run as an ordinary user failed";
}

}  // namespace quillmont::testing
