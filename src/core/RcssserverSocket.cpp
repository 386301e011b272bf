#include "core/RcssserverSocket.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/Addr.h"
#include "platform/BindErr.h"
#include "platform/ConnectErr.h"

namespace zamp {

namespace {

// Set by the SIGINT handler and never cleared: once the user asked to stop, every later
// receive of the process ends at once.
volatile std::sig_atomic_t _g_signal_end = 0;

const int DEFAULT_PORT = 3100;
const int LOWEST_PORT = 3100;
const int HIGHEST_PORT = 65535;
const long MAX_FRAME_SECONDS = 4;  // s, a frame that takes longer ends the run
const std::chrono::milliseconds DEFAULT_SELECT_TIMEOUT{60000};
const std::size_t RECEIVE_CHUNK_SIZE = 16384;  // bytes read per call at most

bool BeginsWith(const std::string& arg, const char* prefix) {
  return arg.compare(0, std::strlen(prefix), prefix) == 0;
}

// Base-10 leading digits (none gives 0), narrowed to 32 bits.
int ToInt(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return static_cast<int>(static_cast<std::uint32_t>(value));
}

long WholeSeconds() {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count());
}

// Keeps SIGINT blocked for its lifetime, so that a signal arriving between a test of the
// flag and the wait stays pending until ppoll unblocks it atomically.
class SigintBlock {
 public:
  SigintBlock() {
    sigset_t sigint;
    sigemptyset(&sigint);
    sigaddset(&sigint, SIGINT);
    pthread_sigmask(SIG_BLOCK, &sigint, &previous_);
  }
  ~SigintBlock() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  SigintBlock(const SigintBlock&) = delete;
  SigintBlock& operator=(const SigintBlock&) = delete;

  const sigset_t* Previous() const { return &previous_; }

 private:
  sigset_t previous_;
};

}  // namespace

RcssserverSocket::RcssserverSocket()
    : host_("127.0.0.1"),
      port_(DEFAULT_PORT),
      team_name_("Agent"),
      uniform_number_(10),
      is_syn_mode_(false),
      agent_type_(AGENT_TYPE_STANDARD),
      server_ver_("0.6.9"),
      mode_("game"),
      select_timeout_(DEFAULT_SELECT_TIMEOUT) {}

void RcssserverSocket::ExitIfShorter(const std::string& arg, std::size_t length) const {
  if (arg.size() >= length) return;
  PrintHelp();
  std::exit(0);
}

std::optional<std::string> RcssserverSocket::OptionValue(const std::string& arg,
                                                         const char* short_form,
                                                         const char* long_form, int argc,
                                                         char** argv, int& i) const {
  if (arg == short_form || arg == long_form) {
    if (i + 1 >= argc || argv[i + 1] == nullptr) return std::nullopt;
    return std::string(argv[++i]);
  }
  ExitIfShorter(arg, 8);
  return arg.substr(7);
}

void RcssserverSocket::ReadOptions(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i] != nullptr ? argv[i] : "";
    if (arg == "--help") {
      PrintHelp();
      std::exit(0);
    } else if (BeginsWith(arg, "--host") || BeginsWith(arg, "-h")) {
      if (const auto value = OptionValue(arg, "-h", "--host", argc, argv, i)) host_ = *value;
    } else if (BeginsWith(arg, "--port")) {
      ExitIfShorter(arg, 8);
      port_ = ToInt(arg.substr(7));
      // A port the server cannot have falls back to the default rather than wrapping.
      if (port_ < LOWEST_PORT || port_ > HIGHEST_PORT) port_ = DEFAULT_PORT;
    } else if (BeginsWith(arg, "--team") || BeginsWith(arg, "-t")) {
      if (const auto value = OptionValue(arg, "-t", "--team", argc, argv, i)) team_name_ = *value;
    } else if (BeginsWith(arg, "--unum") || BeginsWith(arg, "-u")) {
      const int unum = ToInt(OptionValue(arg, "-u", "--unum", argc, argv, i).value_or(""));
      if (unum >= 1 && unum <= MAX_TEAM_AGENT_NUM) {
        uniform_number_ = unum;
      } else {
        std::cout << "I use Unum 11 because Unum " << unum << " doesn't exist." << std::endl;
        uniform_number_ = MAX_TEAM_AGENT_NUM;
      }
    } else if (BeginsWith(arg, "--syn")) {
      ExitIfShorter(arg, 7);
      is_syn_mode_ = ToInt(arg.substr(6)) != 0;
    } else if (BeginsWith(arg, "--type")) {
      ExitIfShorter(arg, 8);
      const int type = ToInt(arg.substr(7));
      if (type >= AGENT_TYPE_STANDARD && type < AGENT_TYPE_NUM) {
        agent_type_ = static_cast<AgentTypeID>(type);
      } else {
        std::cout << "I use Type 0 because Type " << type << " doesn't exist." << std::endl;
        agent_type_ = AGENT_TYPE_STANDARD;
      }
    } else if (BeginsWith(arg, "--ser")) {
      ExitIfShorter(arg, 6);
      server_ver_ = arg.substr(6);
    } else if (BeginsWith(arg, "--mode")) {
      ExitIfShorter(arg, 7);
      mode_ = arg.substr(7);
    }
  }
}

bool RcssserverSocket::Init() {
  std::signal(SIGINT, handler);
  try {
    rcss_socket_.bind(rcss::net::Addr(0));
  } catch (const rcss::net::BindErr& error) {
    std::cerr << "failed to bind socket with '" << error.what() << "'" << std::endl;
    rcss_socket_.close();
    return false;
  }
  try {
    rcss_socket_.connect(rcss::net::Addr(static_cast<std::uint16_t>(port_), host_));
  } catch (const rcss::net::ConnectErr& error) {
    std::cerr << "connection failed with: '" << error.what() << "'" << std::endl;
    rcss_socket_.close();
    return false;
  }
  frame_codec_.Reset();
  return true;
}

bool RcssserverSocket::SendMessage(const std::string& msg) {
  if (msg.empty()) return true;
  std::string& frame = send_frame_;
  FrameCodec::Encode(msg, frame);
  std::size_t sent = 0;
  while (sent < frame.size()) {
    // MSG_NOSIGNAL: a server that went away must end the run through the next receive, not
    // kill the process with SIGPIPE.
    const ssize_t written =
        rcss_socket_.send(frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    sent += static_cast<std::size_t>(written);
  }
  return true;
}

bool RcssserverSocket::ReceiveMessage() {
  if (frame_codec_.IsTooLong()) return false;
  const long start = WholeSeconds();
  char chunk[RECEIVE_CHUNK_SIZE];
  while (!frame_codec_.HasFrame()) {
    const long now = WholeSeconds();
    // Within a frame the rest has nearly always arrived with its start: it is read at once,
    // and only when nothing is there yet does the loop wait and check the link as for a
    // new frame. Saves four system calls a message.
    ssize_t got = -1;
    if (frame_codec_.Missing() != FrameCodec::HEADER_SIZE && _g_signal_end == 0 &&
        now - start <= MAX_FRAME_SECONDS) {
      got = rcss_socket_.recv(chunk, std::min(frame_codec_.Missing(), sizeof(chunk)), MSG_DONTWAIT);
    }
    if (got < 0) {
      if (CanDisconnect()) return false;
      if (now - start > MAX_FRAME_SECONDS) return false;
      got = rcss_socket_.recv(chunk, std::min(frame_codec_.Missing(), sizeof(chunk)));
      if (got < 0) {
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
        return false;  // the link was reset or failed
      }
    }
    if (got == 0) return false;  // the server closed the link
    frame_codec_.Feed(chunk, static_cast<std::size_t>(got));
    if (frame_codec_.IsTooLong()) {
      std::cerr << "message too long; aborting" << std::endl;
      abnormal_end_ = true;
      return false;
    }
  }
  frame_codec_.TakeText(server_message_);
  return true;
}

bool RcssserverSocket::SelectInput() {
  const int fd = rcss_socket_.getFD();
  if (fd < 0) return false;

  const SigintBlock block;
  const auto deadline = std::chrono::steady_clock::now() + select_timeout_;
  pollfd wanted{fd, POLLIN, 0};
  while (_g_signal_end == 0) {
    const auto left = std::max(std::chrono::steady_clock::duration::zero(),
                               deadline - std::chrono::steady_clock::now());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const timespec wait{
        static_cast<time_t>(seconds.count()),
        static_cast<long>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count())};
    const int ready = ppoll(&wanted, 1, &wait, block.Previous());
    const int error = errno;
    if (ready > 0) return true;
    if (ready < 0 && error == EINTR) continue;
    std::cerr << "(SelectInput) select failed " << (ready == 0 ? "timeout" : std::strerror(error))
              << std::endl;
    abnormal_end_ = true;
    return false;
  }
  return false;
}

bool RcssserverSocket::CanDisconnect() {
  // The flag is tested first: a silent server must not keep a stopped player waiting.
  if (_g_signal_end != 0) return true;
  if (!SelectInput() || !rcss_socket_.isConnected()) return true;
  return _g_signal_end != 0;
}

bool RcssserverSocket::HasEndSignal() const { return _g_signal_end != 0; }

void RcssserverSocket::Done() {
  rcss_socket_.close();
  std::cout << "closed connection to " << host_ << ":" << port_ << std::endl;
}

void RcssserverSocket::PrintHelp() const {
  std::cout << "\nusage: runnerkite [options]\n"
            << "\noptions:\n"
            << " --help                prints this message.\n"
            << " --host=IP             IP of the server.\n"
            << " --port=PORT           PORT NUMBER of the server.\n"
            << " --team=NAME           NAME of the team.\n"
            << " --syn=Synchronize     Can send (syn) to server. 0 or 1 (No or Yes)\n"
            << " --type=MODEL          TYPE of the nao model type.(0 - 4)\n"
            << "\n"
            << std::flush;
}

void RcssserverSocket::PrintGreeting() const {
  std::cout << "\n\"plumeroo\", a \"runnerkite\" distribution\n"
            << "team " << team_name_ << "\n"
            << "\"runnerkite\", a spark demo agent\n"
            << "a player for the 3D soccer simulation server\n"
            << "built on the SimSpark socket protocol\n"
            << "\n"
            << std::flush;
}

void RcssserverSocket::handler(int sig) {
  if (sig == SIGINT) _g_signal_end = 1;
}

}  // namespace zamp
