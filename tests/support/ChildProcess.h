// Runs a piece of test code in a forked child process and collects what it wrote on standard
// output and standard error and how it ended. For code that ends the process (option errors,
// --help), that installs process-wide state that must not leak into other tests (the SIGINT
// flag), or that could kill the process if it is wrong (SIGPIPE).
//
// The child's standard streams go to pipes; when the body returns, the child flushes them and
// exits with status 0 without running the parent's exit handlers. A body that throws exits
// with status 125. Every wait is bounded: a child still running at the time-out is killed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

namespace zamp::test {

class ChildProcess {
 public:
  static constexpr int THROWN_STATUS = 125;

  // Forks and runs body in the child; the parent returns at once.
  explicit ChildProcess(const std::function<void()>& body);
  // Kills and reaps a child that was not waited for.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&&) = delete;

  // Shortcut: runs body and waits for its end.
  static ChildProcess Run(const std::function<void()>& body,
                          std::chrono::milliseconds timeout = std::chrono::seconds(10));

  void Signal(int sig) const;
  // Reads the child's output until it ends; false when it had to be killed at the time-out.
  bool Wait(std::chrono::milliseconds timeout);

  // The exit status, or -1 when the child did not exit normally.
  int ExitStatus() const { return exit_status_; }
  // The signal that ended the child, or 0.
  int TermSignal() const { return term_signal_; }
  const std::string& Out() const { return out_; }
  const std::string& Err() const { return err_; }

 private:
  void CloseOutputs();

  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  bool reaped_ = false;
  bool timed_out_ = false;
  int exit_status_ = -1;
  int term_signal_ = 0;
  std::string out_;
  std::string err_;
};

}  // namespace zamp::test
