#pragma once
// A helper program started by a test, its standard output read through a
// pipe line by line, and killed or awaited. Header only, for the data tests.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace ledger::test {

class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int rc = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    m_out = fds[0];
    if (rc != 0) {
      ::close(m_out);
      throw std::runtime_error("cannot start " + args.at(0));
    }
  }
  ~ChildProcess() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGKILL);
      wait();
    }
    ::close(m_out);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return m_pid; }

  // Waits up to timeout for output; returns false at end of output or on
  // timeout. Complete lines land in lines().
  bool readSome(std::chrono::milliseconds timeout) {
    pollfd p{m_out, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
    char buf[4096];
    const ssize_t n = ::read(m_out, buf, sizeof buf);
    if (n <= 0) return false;
    m_partial.append(buf, static_cast<size_t>(n));
    for (size_t nl; (nl = m_partial.find('\n')) != std::string::npos;) {
      m_lines.push_back(m_partial.substr(0, nl));
      m_partial.erase(0, nl + 1);
    }
    return true;
  }
  // Waits (up to timeout) until at least n lines have arrived.
  bool waitForLines(size_t n, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (m_lines.size() < n) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !readSome(left)) return m_lines.size() >= n;
    }
    return true;
  }
  const std::vector<std::string>& lines() const { return m_lines; }

  // SIGKILL, then every line written before the kill is read. Returns the
  // wait status.
  int killAndCollect() {
    ::kill(m_pid, SIGKILL);
    return collect();
  }
  // Reads to the end of output and waits for the program to end. A program
  // silent for a minute is taken to hang and is killed, so a test fails
  // instead of hanging with it.
  int collect() {
    while (readSome(std::chrono::milliseconds(60000))) {
    }
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
      m_pid = -1;
      return status;
    }
    ::kill(m_pid, SIGKILL);
    return wait();
  }

 private:
  int wait() {
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return status;
  }

  pid_t m_pid = -1;
  int m_out = -1;
  std::string m_partial;
  std::vector<std::string> m_lines;
};

}  // namespace ledger::test
