#include "play/Audio.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "core/const.h"
#include "play/ShareMessageZAMP.h"

namespace zamp {

const std::string commAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789*#";

namespace {

const double minBallX = -17.0;
const double maxBallX = 17.0;
const double minBallY = -12.0;
const double maxBallY = 12.0;
const double minAgentX = -20.0;
const double maxAgentX = 20.0;
const double minAgentY = -15.0;
const double maxAgentY = 15.0;

const int CHAR_BIT_NUM = 6;
const int TIME_BIT_NUM = 16;
const int COORD_BIT_NUM = 10;
const int TIME_CYCLE_PERIOD = 65536;  // cycles that the 16-bit time fields can hold
const double TIME_PERIOD = TIME_CYCLE_PERIOD * UPDATE_INTERVAL_TIME;  // s, 1310.72
const int COORD_MAX_VALUE = 1023;
const int SAY_CYCLE = 22;  // cycles between two turns of one speaker
const double CYCLES_PER_SECOND = 50.0;
const double EARLIEST_HEARING = -0.001;  // s, heard time minus message time
const double LATEST_HEARING = 0.07;      // s, three cycles and a margin
// s; a clock beyond this (decades of play) is corrupt, and far beyond it the unwrapped
// times would lose their cycles to rounding and pass the window by accident.
const double LARGEST_HEARD_TIME = 1.0e9;

// The cycle count of a time, as the server's clock counts it (whole cycles, with a margin
// for the rounding of the seconds), wrapped into [0, period). Times that are not finite
// count as cycle 0.
int WrappedCycles(double time, int period) {
  const double cycles = std::trunc(time * CYCLES_PER_SECOND + 0.1);
  if (!std::isfinite(cycles)) return 0;
  double wrapped = std::fmod(cycles, static_cast<double>(period));
  if (wrapped < 0.0) wrapped += period;
  return static_cast<int>(wrapped);
}

int CoordToValue(double coord, double min, double max) {
  const double v = std::isfinite(coord) ? std::clamp(coord, min, max) : min;
  return static_cast<int>((v - min) * COORD_MAX_VALUE / (max - min) + 0.5);
}

double ValueToCoord(int value, double min, double max) {
  return min + (max - min) * value / COORD_MAX_VALUE;
}

void AppendBits(const std::vector<int>& source, std::vector<int>& bits) {
  bits.insert(bits.end(), source.begin(), source.end());
}

// Moves a time read from a 16-bit field into the period of the heard time.
double Unwrap(double time, double heard_time) {
  return std::trunc((heard_time - time) / TIME_PERIOD) * TIME_PERIOD + time;
}

}  // namespace

std::vector<int> intToBits(int n, int numBits) {
  std::vector<int> bits;
  if (n < 0 || numBits < 0) return bits;
  bits.reserve(numBits);
  const unsigned int value = static_cast<unsigned int>(n);
  for (int i = numBits - 1; i >= 0; --i) {
    bits.push_back(i < 32 ? static_cast<int>((value >> i) & 1u) : 0);
  }
  return bits;
}

std::vector<int> intToBits(std::uint64_t n, int numBits) {
  std::vector<int> bits;
  if (numBits < 0) return bits;
  bits.reserve(numBits);
  for (int i = numBits - 1; i >= 0; --i) {
    bits.push_back(i < 64 ? static_cast<int>((n >> i) & 1u) : 0);
  }
  return bits;
}

int bitsToInt(const std::vector<int>& bits, int start, int end) {
  if (start < 0 || end >= static_cast<int>(bits.size()) || start > end) return 0;
  unsigned int value = 0;
  for (int i = start; i <= end; ++i) {
    value = (value << 1) | (bits[i] != 0 ? 1u : 0u);
  }
  return static_cast<int>(value);
}

bool dataToBits(double currentTime, double ballLastSeenTime, double ballX, double ballY, double myX,
                double myY, bool fallen, std::vector<int>& bits) {
  AppendBits(intToBits(WrappedCycles(currentTime, TIME_CYCLE_PERIOD), TIME_BIT_NUM), bits);
  AppendBits(intToBits(WrappedCycles(ballLastSeenTime, TIME_CYCLE_PERIOD), TIME_BIT_NUM), bits);
  AppendBits(intToBits(CoordToValue(ballX, minBallX, maxBallX), COORD_BIT_NUM), bits);
  AppendBits(intToBits(CoordToValue(ballY, minBallY, maxBallY), COORD_BIT_NUM), bits);
  AppendBits(intToBits(CoordToValue(myX, minAgentX, maxAgentX), COORD_BIT_NUM), bits);
  AppendBits(intToBits(CoordToValue(myY, minAgentY, maxAgentY), COORD_BIT_NUM), bits);
  bits.push_back(fallen ? 1 : 0);
  return true;
}

bool bitsToData(const std::vector<int>& bits, double& time, double& ballLastSeenTime, double& ballX,
                double& ballY, double& agentX, double& agentY, bool& fallen) {
  if (static_cast<int>(bits.size()) < DROP_IN_PAYLOAD_BIT_NUM) {
    time = ballLastSeenTime = ballX = ballY = agentX = agentY = 0.0;
    fallen = false;
    return false;
  }
  int p = 0;
  // The next field of `width` bits, most significant first.
  auto next = [&bits, &p](int width) {
    const int value = bitsToInt(bits, p, p + width - 1);
    p += width;
    return value;
  };
  time = next(TIME_BIT_NUM) / CYCLES_PER_SECOND;
  ballLastSeenTime = next(TIME_BIT_NUM) / CYCLES_PER_SECOND;
  ballX = ValueToCoord(next(COORD_BIT_NUM), minBallX, maxBallX);
  ballY = ValueToCoord(next(COORD_BIT_NUM), minBallY, maxBallY);
  agentX = ValueToCoord(next(COORD_BIT_NUM), minAgentX, maxAgentX);
  agentY = ValueToCoord(next(COORD_BIT_NUM), minAgentY, maxAgentY);
  fallen = bits[p] != 0;
  return true;
}

bool bitsToString(const std::vector<int>& bits, std::string& text) {
  text.clear();
  if (commAlphabet.size() != 64) {
    std::cerr << "bitsToString: alphabet size not 64!\n";
    return false;
  }
  const int bit_num = static_cast<int>(bits.size());
  const int char_num = (bit_num + CHAR_BIT_NUM - 1) / CHAR_BIT_NUM;
  for (int k = 0; k < char_num; ++k) {
    int value = 0;
    for (int i = k * CHAR_BIT_NUM; i < (k + 1) * CHAR_BIT_NUM; ++i) {
      value = (value << 1) | (i < bit_num && bits[i] != 0 ? 1 : 0);
    }
    text.push_back(commAlphabet[value]);
  }
  return true;
}

bool stringToBits(const std::string& text, std::vector<int>& bits) {
  if (commAlphabet.size() != 64) {
    std::cerr << "bits2String: alphabet size not 64!\n";
    return false;
  }
  bits.clear();
  bits.reserve(text.size() * CHAR_BIT_NUM);
  for (const char c : text) {
    const std::string::size_type value = commAlphabet.find(c);
    if (value == std::string::npos) {
      bits.clear();
      return false;
    }
    AppendBits(intToBits(static_cast<int>(value), CHAR_BIT_NUM), bits);
  }
  return true;
}

bool makeSayMessage(int uNum, double currentServerTime, double ballLastSeenServerTime, double ballX,
                    double ballY, double myX, double myY, bool fFallen, std::string& message) {
  if (!std::isfinite(currentServerTime)) return false;
  if (WrappedCycles(currentServerTime, SAY_CYCLE) != 2 * uNum - 2) return false;
  std::vector<int> bits;
  dataToBits(currentServerTime, ballLastSeenServerTime, ballX, ballY, myX, myY, fFallen, bits);
  return bitsToString(bits, message);
}

bool processHearMessage(const std::string& message, double heardServerTime, int& uNum,
                        double& ballLastSeenServerTime, double& ballX, double& ballY,
                        double& agentX, double& agentY, bool& fFallen) {
  auto reject = [&]() {
    uNum = 0;
    ballLastSeenServerTime = ballX = ballY = agentX = agentY = 0.0;
    fFallen = false;
    return false;
  };
  // A longer text would still decode from its first 13 characters; it is not a message of
  // this codec.
  if (message.size() != static_cast<std::string::size_type>(DROP_IN_MESSAGE_CHAR_NUM) ||
      !(std::abs(heardServerTime) <= LARGEST_HEARD_TIME)) {
    return reject();
  }
  std::vector<int> bits;
  double time = 0.0;
  if (!stringToBits(message, bits) ||
      !bitsToData(bits, time, ballLastSeenServerTime, ballX, ballY, agentX, agentY, fFallen)) {
    return reject();
  }
  time = Unwrap(time, heardServerTime);
  ballLastSeenServerTime = Unwrap(ballLastSeenServerTime, heardServerTime);
  const double delay = heardServerTime - time;
  if (!(delay >= EARLIEST_HEARING && delay < LATEST_HEARING)) return reject();
  uNum = WrappedCycles(time, SAY_CYCLE) / 2 + 1;
  return true;
}

void processHearMessageZAMP(const std::string& message, double heardServerTime,
                            std::vector<double>& params, int& uNum) {
  params.assign(ShareMessageZAMP::SHARE_DATA_ID_NUM, 0.0);
  double ball_seen_time = 0.0;
  double ball_x = 0.0;
  double ball_y = 0.0;
  double agent_x = 0.0;
  double agent_y = 0.0;
  bool fallen = false;
  if (!processHearMessage(message, heardServerTime, uNum, ball_seen_time, ball_x, ball_y, agent_x,
                          agent_y, fallen)) {
    return;
  }
  params[ShareMessageZAMP::SHARE_SERVER_TIME] = heardServerTime * CYCLES_PER_SECOND;
  params[ShareMessageZAMP::SHARE_BALL_PRIMARY] = ball_seen_time * CYCLES_PER_SECOND;
  params[ShareMessageZAMP::SHARE_AGENT_X] = agent_x;
  params[ShareMessageZAMP::SHARE_AGENT_Y] = agent_y;
  params[ShareMessageZAMP::SHARE_BALL_X] = ball_x;
  params[ShareMessageZAMP::SHARE_BALL_Y] = ball_y;
  params[ShareMessageZAMP::SHARE_FALL] = fallen ? 1.0 : 0.0;
}

}  // namespace zamp
