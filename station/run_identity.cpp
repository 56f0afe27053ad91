// SPDX-License-Identifier: MIT
#include "station/run_identity.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace veltrane::station {
namespace {

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
  return name;
}

// Field 22 of /proc/PID/stat (after the command in parentheses); empty when
// there is no such process.
std::string StartTicks(const std::string& pid) {
  std::ifstream stat("/proc/" + pid + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return "";
  std::istringstream fields(text.substr(close + 1));
  std::string field;
  for (int k = 3; k <= 22 && fields >> field; ++k)
    if (k == 22) return field;
  return "";
}

}  // namespace

std::string ThisRun() {
  const std::string pid = std::to_string(::getpid());
  return HostName() + "/" + pid + "/" + StartTicks(pid);
}

std::string HostOf(const std::string& run) {
  return run.substr(0, run.find('/'));
}

bool RunIsAlive(const std::string& run, bool& elsewhere) {
  const std::size_t first = run.find('/');
  const std::size_t second = run.find('/', first == std::string::npos ? first : first + 1);
  elsewhere = run.substr(0, first) != HostName();
  if (elsewhere || second == std::string::npos) return false;
  const std::string pid = run.substr(first + 1, second - first - 1);
  const std::string start = run.substr(second + 1);
  return !pid.empty() && pid.find_first_not_of("0123456789") == std::string::npos &&
         StartTicks(pid) == start && !start.empty();
}

}  // namespace veltrane::station
