// SPDX-License-Identifier: MIT
// A throwaway PostgreSQL cluster for the tests: made with initdb in a fresh
// directory (as the "postgres" user when the tests run as root), listening on
// a Unix socket in that directory only (no network), on a port that was free,
// started once per test executable and stopped and removed at its end. A test
// may kill the server and start it again. Where no server is installed the
// tests are skipped, except under CI=true, where that is a failure.
#pragma once

#include <string>

namespace veltrane::station::testing {

class PostgresCluster {
 public:
  // The executable's one cluster, started at the first call.
  static PostgresCluster& Shared();
  ~PostgresCluster();
  PostgresCluster(const PostgresCluster&) = delete;
  PostgresCluster& operator=(const PostgresCluster&) = delete;

  bool Running() const { return pid_ > 0; }
  // Why it is not running: no server installed, or initdb or the server failed.
  const std::string& Problem() const { return problem_; }
  bool Installed() const { return !bin_.empty(); }

  // A connection string to a schema of its own (made when missing), so that
  // each test starts with an empty store.
  std::string ConnectionTo(const std::string& schema);
  // Kills the server and every backend at once, as a crash would.
  void Kill();
  // Starts it again on the same data and socket; false when it does not come up.
  bool Start();

 private:
  PostgresCluster();
  bool Initialise();
  std::string Base() const;

  std::string bin_;
  std::string dir_;
  int port_ = 0;
  int pid_ = -1;
  std::string problem_;
};

}  // namespace veltrane::station::testing

// Skips the test where no PostgreSQL is installed, fails it under CI=true, and
// fails it when the cluster did not start.
#define REQUIRE_POSTGRES(cluster)                                                             \
  do {                                                                                        \
    if (!(cluster).Installed()) {                                                             \
      const char* ci = std::getenv("CI");                                                     \
      if (ci != nullptr && std::string(ci) == "true")                                         \
        FAIL() << "PostgreSQL is not installed (./dev installs it): " << (cluster).Problem(); \
      GTEST_SKIP() << "PostgreSQL is not installed: " << (cluster).Problem();                 \
    }                                                                                         \
    ASSERT_TRUE((cluster).Running()) << (cluster).Problem();                                  \
  } while (false)
