#include "bench/child_process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

extern char** environ;

namespace norv::bench {

ChildRun run_child(const std::vector<std::string>& argv) {
  int pipe_fds[2];
  ChildRun run;
  if (::pipe(pipe_fds) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  std::vector<char*> args{const_cast<char*>(NORV_MEASURE_CHILD)};
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_fds[1]);
  if (spawned == 0) {
    FILE* report = ::fdopen(pipe_fds[0], "r");
    unsigned long long peak = 0, read = 0, wall = 0, cpu = 0;
    if (std::fscanf(report, "%d %llu %llu %llu %llu", &run.exit_status, &peak, &read, &wall,
                    &cpu) == 5) {
      run.peak_rss_kib = peak;
      run.bytes_read = read;
      run.wall_us = wall;
      run.cpu_us = cpu;
    }
    std::fclose(report);
    ::waitpid(pid, nullptr, 0);
  } else {
    ::close(pipe_fds[0]);
  }
  return run;
}

}  // namespace norv::bench
