// SPDX-License-Identifier: MIT
#include "tests/station/postgres_cluster.h"

#include <fcntl.h>
#include <glob.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace veltrane::station::testing {
namespace {

// The newest server's bin directory, e.g. /usr/lib/postgresql/15/bin; empty when none.
std::string ServerBin() {
  glob_t found{};
  std::string bin;
  if (::glob("/usr/lib/postgresql/*/bin/initdb", 0, nullptr, &found) == 0)
    bin = std::filesystem::path(found.gl_pathv[found.gl_pathc - 1]).parent_path().string();
  ::globfree(&found);
  return bin;
}

int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = 0;
  if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
    port = ntohs(address.sin_port);
  if (fd >= 0) ::close(fd);
  return port != 0 ? port : 54000 + ::getpid() % 1000;
}

// Runs `argv` as the postgres user when this is root; output to `log`. The
// child dies with this process, and leads a process group of its own.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& log) {
  const passwd* postgres = ::geteuid() == 0 ? ::getpwnam("postgres") : nullptr;
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::setsid();
  if (postgres != nullptr && (::setgid(postgres->pw_gid) != 0 || ::setuid(postgres->pw_uid) != 0))
    ::_exit(126);
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  ::dup2(out, STDOUT_FILENO);
  ::dup2(out, STDERR_FILENO);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  ::execv(args[0], args.data());
  ::_exit(127);
}

// The processes whose parent is `parent`: the server's backends, which each
// lead a session of their own and so are not in its process group.
std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const pid_t pid = std::atoi(entry.path().filename().c_str());
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (pid <= 0 || !std::getline(stat, line) || line.rfind(')') == std::string::npos) continue;
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    char state = 0;
    pid_t ppid = 0;
    if (fields >> state >> ppid && ppid == parent) children.push_back(pid);
  }
  return children;
}

// Gone, or a zombie that holds nothing any more.
bool Ended(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) return true;
  return line[line.rfind(')') + 2] == 'Z';
}

}  // namespace

PostgresCluster& PostgresCluster::Shared() {
  static PostgresCluster cluster;
  return cluster;
}

PostgresCluster::PostgresCluster() : bin_(ServerBin()) {
  if (bin_.empty()) {
    problem_ = "no /usr/lib/postgresql/*/bin/initdb";
    return;
  }
  std::string pattern = (std::filesystem::temp_directory_path() / "veltrane-pg-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    problem_ = "no temporary directory";
    return;
  }
  dir_ = pattern;
  port_ = FreePort();
  if (Initialise()) Start();
}

PostgresCluster::~PostgresCluster() {
  if (pid_ > 0) {
    ::kill(pid_, SIGINT);  // a fast shutdown
    ::waitpid(pid_, nullptr, 0);
  }
  std::error_code ignored;
  if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

bool PostgresCluster::Initialise() {
  if (const passwd* postgres = ::geteuid() == 0 ? ::getpwnam("postgres") : nullptr;
      postgres != nullptr && ::chown(dir_.c_str(), postgres->pw_uid, postgres->pw_gid) != 0) {
    problem_ = "cannot hand " + dir_ + " to the postgres user";
    return false;
  }
  const pid_t initdb = Spawn({bin_ + "/initdb", "-D", dir_ + "/data", "-U", "veltrane", "-A",
                              "trust", "-N", "-E", "UTF8", "--locale=C"},
                             dir_ + "/initdb.log");
  int status = 0;
  ::waitpid(initdb, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    problem_ = "initdb failed; see " + dir_ + "/initdb.log";
    return false;
  }
  return true;
}

std::string PostgresCluster::Base() const {
  return "host=" + dir_ + " port=" + std::to_string(port_) + " user=veltrane dbname=postgres";
}

bool PostgresCluster::Start() {
  const auto spawn = [this] {
    return Spawn({bin_ + "/postgres", "-D", dir_ + "/data", "-k", dir_, "-p",
                  std::to_string(port_), "-c", "listen_addresses=", "-c", "fsync=off", "-c",
                  "full_page_writes=off"},
                 dir_ + "/server.log");
  };
  pid_ = spawn();
  // A server that ends at once is started again for a while: after a kill it
  // refuses to start until the last old backend has let go of its memory.
  int restarts = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    if (::PQping(Base().c_str()) == PQPING_OK) return true;
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      if (++restarts > 50) break;
      pid_ = spawn();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  problem_ = "the server did not start; see " + dir_ + "/server.log";
  Kill();
  return false;
}

void PostgresCluster::Kill() {
  if (pid_ <= 0) return;
  const pid_t group = pid_;
  std::vector<pid_t> ended = ChildrenOf(group);
  ::kill(-group, SIGKILL);
  for (const pid_t child : ended) ::kill(child, SIGKILL);
  ::waitpid(group, nullptr, 0);
  pid_ = -1;
  ended.push_back(group);
  const auto gone = [&] { return std::all_of(ended.begin(), ended.end(), Ended); };
  for (int k = 0; k < 200 && !gone(); ++k)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::string PostgresCluster::ConnectionTo(const std::string& schema) {
  PGconn* admin = PQconnectdb(Base().c_str());
  PQclear(PQexec(admin, ("CREATE SCHEMA IF NOT EXISTS " + schema).c_str()));
  PQfinish(admin);
  return Base() + " options='-csearch_path=" + schema + "'";
}

}  // namespace veltrane::station::testing
