#include "tests/support/mdbtools.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace norv::test {

namespace {

// Reads both pipes until they close, so that a chatty child never blocks.
void drain(int out_fd, int err_fd, std::string& out, std::string& err) {
  std::array<pollfd, 2> fds{{{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}}};
  std::array<std::string*, 2> sinks{&out, &err};
  int open_count = 2;
  char buffer[65536];
  while (open_count > 0) {
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : text) {
    if (c == separator) {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

}  // namespace

CommandResult run_command(const std::vector<std::string>& argv) {
  int out_pipe[2];
  int err_pipe[2];
  if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::dup2(out_pipe[1], 1);
    ::dup2(err_pipe[1], 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  CommandResult result;
  drain(out_pipe[0], err_pipe[0], result.out, result.err);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

bool mdbtools_available() {
  static const bool available = run_command({"mdb-ver", "-M"}).exit_status != 127;
  return available;
}

std::vector<std::string> mdb_tables(const std::filesystem::path& db, bool with_system) {
  std::vector<std::string> argv{"mdb-tables", "-1"};
  if (with_system) argv.push_back("-S");
  argv.push_back(db.string());
  CommandResult r = run_command(argv);
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "mdb-tables warned on " << db;
  return split(r.out, '\n');
}

std::vector<std::vector<std::string>> mdb_export(const std::filesystem::path& db,
                                                 const std::string& table) {
  // Unit and record separators cannot occur in the test data, so no quoting
  // is needed to split the output.
  CommandResult r = run_command({"mdb-export", "-H", "-Q", "-d", "\x1f", "-R", "\x1e", "-D",
                                 "%Y-%m-%d", "-T", "%Y-%m-%dT%H:%M:%S", db.string(), table});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "mdb-export warned on " << db << " table " << table;
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : split(r.out, '\x1e')) {
    std::vector<std::string> fields;
    std::string current;
    for (char c : line) {
      if (c == '\x1f') {
        fields.push_back(current);
        current.clear();
      } else {
        current += c;
      }
    }
    fields.push_back(current);
    rows.push_back(fields);
  }
  return rows;
}

}  // namespace norv::test
