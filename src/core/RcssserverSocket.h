// The player's TCP link to the simulation server and the holder of the command-line settings.
//
// In the cycle it is the first and the last stage: ReceiveMessage brings in one perception
// text per server cycle (0.02 s) and SendMessage carries out the effector text built from it.
// Framing is FrameCodec's job; this class only moves bytes over the descriptor, bounds every
// wait and decides when the run is over. The learning agents open a second instance on the
// trainer port.
//
// A run ends normally when the server closes the link, a frame stays incomplete for more than
// 4 s, or SIGINT arrives (the flag stays set for the life of the process). It ends abnormally,
// reported by HasAbnormalEnd so the process can exit with status 1, when a frame announces
// more than FrameCodec::MAX_TEXT_SIZE bytes or no input arrives within the select time-out
// (60 s) or the wait fails.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "core/FrameCodec.h"
#include "core/const.h"
#include "platform/TCPSocket.h"

namespace zamp {

class RcssserverSocket {
 public:
  RcssserverSocket();
  RcssserverSocket(const RcssserverSocket&) = delete;
  RcssserverSocket& operator=(const RcssserverSocket&) = delete;

  // Reads the command line from index 0 on; --help and values that are too short print the
  // usage text and end the process with status 0.
  void ReadOptions(int argc, char** argv);
  // Installs the SIGINT handler, binds and connects. False (after a message on standard
  // error) when the link cannot be set up.
  bool Init();
  // Sends one whole frame; an empty text sends nothing. False when the frame could not be
  // written whole; on the agent link a dead link also shows on the next receive.
  bool SendMessage(const std::string& msg);
  // Receives one frame into the server message; false ends the run.
  bool ReceiveMessage();
  // Waits until the link is readable; false on SIGINT, time-out or a failed wait.
  bool SelectInput();
  bool CanDisconnect();
  bool HasEndSignal() const;
  // True after an oversized frame, a select time-out or a select error.
  bool HasAbnormalEnd() const { return abnormal_end_; }
  void Done();
  void PrintHelp() const;
  void PrintGreeting() const;
  static void handler(int sig);

  // Test seam: how long SelectInput waits for input before it gives up (60 s in a run).
  void SetSelectTimeout(std::chrono::milliseconds timeout) { select_timeout_ = timeout; }

  const std::string& GetHost() const { return host_; }
  int GetPort() const { return port_; }
  const std::string& GetServerMessage() const { return server_message_; }
  const std::string& GetTeamName() const { return team_name_; }
  int GetUniformNumber() const { return uniform_number_; }
  bool IsSynMode() const { return is_syn_mode_; }
  AgentTypeID GetAgentType() const { return agent_type_; }
  const std::string& GetServerVer() const { return server_ver_; }
  const std::string& GetMode() const { return mode_; }

 private:
  // Ends the process with the usage text when an option is shorter than its minimum.
  void ExitIfShorter(const std::string& arg, std::size_t length) const;
  // The value of an option that has a separate-argument form: standing alone as short_form
  // or long_form, the next argument (consumed; none when it is the last); otherwise the
  // argument from character 7 on, as behind "--host=", ending the process when it is empty.
  std::optional<std::string> OptionValue(const std::string& arg, const char* short_form,
                                         const char* long_form, int argc, char** argv,
                                         int& i) const;

  rcss::net::TCPSocket rcss_socket_;
  std::string host_;
  int port_;
  std::string server_message_;
  std::string team_name_;
  int uniform_number_;
  bool is_syn_mode_;
  AgentTypeID agent_type_;
  std::string server_ver_;
  std::string mode_;

  FrameCodec frame_codec_;                    // keeps a partial frame between receives
  std::string send_frame_;                    // the last frame sent, kept for its storage
  std::chrono::milliseconds select_timeout_;  // ms, longest wait for input
  bool abnormal_end_ = false;
};

}  // namespace zamp
