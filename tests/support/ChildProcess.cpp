#include "support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <utility>

namespace zamp::test {

namespace {

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void FlushAll() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
}

}  // namespace

ChildProcess::ChildProcess(const std::function<void()>& body) {
  int out[2];
  int err[2];
  if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (pipe2(err, O_CLOEXEC) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    throw std::runtime_error("pipe failed");
  }
  // Whatever the parent has buffered must not be written a second time by the child.
  FlushAll();
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    ::close(err[0]);
    ::close(err[1]);
    int status = 0;
    try {
      body();
    } catch (...) {
      status = THROWN_STATUS;
    }
    FlushAll();
    _exit(status);
  }
  ::close(out[1]);
  ::close(err[1]);
  out_fd_ = out[0];
  err_fd_ = err[0];
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      out_fd_(std::exchange(other.out_fd_, -1)),
      err_fd_(std::exchange(other.err_fd_, -1)),
      reaped_(std::exchange(other.reaped_, true)),
      timed_out_(other.timed_out_),
      exit_status_(other.exit_status_),
      term_signal_(other.term_signal_),
      out_(std::move(other.out_)),
      err_(std::move(other.err_)) {}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !reaped_) {
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  CloseOutputs();
}

ChildProcess ChildProcess::Run(const std::function<void()>& body,
                               std::chrono::milliseconds timeout) {
  ChildProcess child(body);
  child.Wait(timeout);
  return child;
}

void ChildProcess::Signal(int sig) const {
  if (pid_ > 0 && !reaped_) ::kill(pid_, sig);
}

void ChildProcess::CloseOutputs() {
  if (out_fd_ >= 0) ::close(out_fd_);
  if (err_fd_ >= 0) ::close(err_fd_);
  out_fd_ = -1;
  err_fd_ = -1;
}

bool ChildProcess::Wait(std::chrono::milliseconds timeout) {
  if (pid_ <= 0 || reaped_) return !timed_out_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;

  // Drain both pipes until the child has closed them (it exits) or the time runs out.
  while (out_fd_ >= 0 || err_fd_ >= 0) {
    pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
    const int ready = poll(fds, 2, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      int& fd = i == 0 ? out_fd_ : err_fd_;
      std::string& text = i == 0 ? out_ : err_;
      char chunk[4096];
      const ssize_t got = ::read(fd, chunk, sizeof(chunk));
      if (got > 0) {
        text.append(chunk, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        ::close(fd);
        fd = -1;
      }
    }
  }

  // The pipes close when the child exits; reap it within what is left of the time-out.
  int status = 0;
  bool have_status = false;
  for (;;) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      have_status = true;
      break;
    }
    if (done < 0 && errno != EINTR) break;
    if (std::chrono::steady_clock::now() >= deadline) {
      timed_out_ = true;
      ::kill(pid_, SIGKILL);
      pid_t killed;
      do {
        killed = waitpid(pid_, &status, 0);
      } while (killed < 0 && errno == EINTR);
      have_status = killed == pid_;
      break;
    }
    const timespec pause{0, 1000000};
    nanosleep(&pause, nullptr);
  }
  reaped_ = true;
  CloseOutputs();
  if (have_status && WIFEXITED(status)) exit_status_ = WEXITSTATUS(status);
  if (have_status && WIFSIGNALED(status)) term_signal_ = WTERMSIG(status);
  return !timed_out_;
}

}  // namespace zamp::test
