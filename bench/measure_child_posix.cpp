// Runs a program and reports, on standard output, "<exit status>
// <peak resident KiB> <bytes read> <wall microseconds> <CPU microseconds>"
// for it alone (the wall time from just before the fork to its exit, the CPU
// time user and system together). The benchmarks start
// their command lines through this small process rather than directly: a
// child's peak memory counts whatever its parent had mapped before the
// exec, and the benchmark process itself is large.
//
//   measure_child PROGRAM [ARGS...]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

namespace {

// rchar (every read(), cached or not) of a child that has exited but is
// not reaped yet.
std::uint64_t bytes_read_by(pid_t pid) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

std::uint64_t microseconds_since(const timespec& start) {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>((now.tv_sec - start.tv_sec) * 1000000 +
                                    (now.tv_nsec - start.tv_nsec) / 1000);
}

std::uint64_t microseconds(const timeval& t) {
  return static_cast<std::uint64_t>(t.tv_sec) * 1000000 + static_cast<std::uint64_t>(t.tv_usec);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  timespec start{};
  ::clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execvp(argv[1], argv + 1);
    ::_exit(127);
  }
  siginfo_t info{};
  ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
  const std::uint64_t wall = microseconds_since(start);
  const std::uint64_t read = bytes_read_by(pid);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  const std::uint64_t cpu = microseconds(usage.ru_utime) + microseconds(usage.ru_stime);
  std::printf("%d %ld %llu %llu %llu\n", exit_status, usage.ru_maxrss,
              static_cast<unsigned long long>(read), static_cast<unsigned long long>(wall),
              static_cast<unsigned long long>(cpu));
  return 0;
}
