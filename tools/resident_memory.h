#pragma once

#include <fstream>
#include <string>

// The resident memory of a process in KiB, from /proc: "self", or a process id. -1 when the
// process is gone.
inline long residentKiB(const std::string& process = "self") {
  std::ifstream status("/proc/" + process + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}
