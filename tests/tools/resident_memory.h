#pragma once

#include <malloc.h>

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

// The bytes this process has allocated with malloc and not freed, in KiB: unlike resident
// memory, it does not move with caches and the allocator's own reserves.
inline long heapInUseKiB() { return static_cast<long>(mallinfo2().uordblks / 1024); }
