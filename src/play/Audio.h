// The team-neutral say/hear codec of drop-in games, where the team mates are other teams'
// programs. One message carries 73 bits: the speaker's clock and the time it last saw the
// ball (16 bits of 0.02 s cycles each, so they wrap every 1310.72 s), the ball and the
// speaker's own position (10 bits each over fixed ranges) and a fallen flag, written most
// significant bit first into 13 characters of a 64-letter alphabet. Each uniform number
// has one speaking turn in every 22 cycles, and a receiver recovers the speaker from the
// message time alone.
//
// Runs in the decision step: the drop-in strategy builds its say text with makeSayMessage
// and decodes the heard text with processHearMessageZAMP before its election. Everything
// heard is untrusted: a text of the wrong length, with a character outside the alphabet,
// or older than three cycles is rejected.
// Team frame (own goal at x = -15, attack towards +x); metres and seconds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zamp {

// The 64 characters of the message; a character's value is its index.
extern const std::string commAlphabet;

// Bits in one message and characters in its text.
const int DROP_IN_PAYLOAD_BIT_NUM = 73;
const int DROP_IN_MESSAGE_CHAR_NUM = 13;

// The numBits lowest bits of n, most significant first; empty when n or numBits is
// negative.
std::vector<int> intToBits(int n, int numBits);
// The same for an unsigned 64-bit n; empty when numBits is negative.
std::vector<int> intToBits(std::uint64_t n, int numBits);

// Bits start to end inclusive as a number, most significant first; 0 when start < 0, end
// lies beyond the last bit or start > end. Any non-zero entry counts as a 1.
int bitsToInt(const std::vector<int>& bits, int start, int end);

// Appends the 73 payload bits to bits. Times in s, positions in m; a value that is not
// finite is sent as its field's minimum.
bool dataToBits(double currentTime, double ballLastSeenTime, double ballX, double ballY, double myX,
                double myY, bool fallen, std::vector<int>& bits);

// Reads the payload back: times in s (within one 1310.72 s period), positions in m. With
// fewer than 73 bits every output is 0 (fallen false) and the result is false.
bool bitsToData(const std::vector<int>& bits, double& time, double& ballLastSeenTime, double& ballX,
                double& ballY, double& agentX, double& agentY, bool& fallen);

// (number of bits + 5) / 6 characters, six bits each, the missing last bits taken as 0.
bool bitsToString(const std::vector<int>& bits, std::string& text);

// Six bits per character; a character outside the alphabet empties bits and gives false.
bool stringToBits(const std::string& text, std::vector<int>& bits);

// The say text of uniform number uNum at server time currentServerTime (s). Returns false
// and leaves message untouched when it is not this agent's turn.
bool makeSayMessage(int uNum, double currentServerTime, double ballLastSeenServerTime, double ballX,
                    double ballY, double myX, double myY, bool fFallen, std::string& message);

// Decodes a text heard at heardServerTime (s). Accepted only with exactly 13 characters of
// the alphabet, a heard time that is a plausible clock (finite, at most 1e9 s) and a
// message time from 0.001 s after to less than 0.07 s before the heard time; on any
// failure every output is 0 (fFallen false) and the result is false.
bool processHearMessage(const std::string& message, double heardServerTime, int& uNum,
                        double& ballLastSeenServerTime, double& ballX, double& ballY,
                        double& agentX, double& agentY, bool& fFallen);

// processHearMessage in the form of the team records' decoded values: params becomes 13
// values in the order of ShareMessageZAMP::ShareDataID, of which the first seven carry the
// message (heard time and ball sighting in cycles, agent x and y, ball x and y, 1.0 when
// fallen) and the rest are 0. uNum is the speaker, 0 when the message was rejected (then
// every value is 0).
void processHearMessageZAMP(const std::string& message, double heardServerTime,
                            std::vector<double>& params, int& uNum);

}  // namespace zamp
