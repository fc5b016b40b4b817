#pragma once

#include <fstream>
#include <string>

// A number from /proc/PROCESS/status ("self", or a process id): the value of the line that
// starts with `key`. -1 when the process is gone.
inline long procStatusValue(const std::string& process, const std::string& key) {
  std::ifstream status("/proc/" + process + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
  }
  return -1;
}

// The resident memory of a process in KiB.
inline long residentKiB(const std::string& process = "self") { return procStatusValue(process, "VmRSS:"); }
