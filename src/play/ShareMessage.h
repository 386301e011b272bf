// The say/hear codec shared by the team messages. A message is a list of numeric fields;
// each field is clamped to its range, optionally scaled onto its bit width, and packed
// least significant bit first into at most 120 bits, which travel as characters of a
// 64-letter alphabet (six bits per character), the form the server's say channel accepts.
//
// Runs in the decision step: a strategy fills the fields' `param` and calls Make once per
// cycle (the text goes into the effector's say piece); Receive decodes what the perception
// store heard in the current cycle. Units are those of each field; the codec knows none.
//
// A heard text is untrusted: Decode accepts only a text of exactly the length this
// configuration produces, made only of the alphabet's characters.
#pragma once

#include <bitset>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zamp {

class ShareMessage {
 public:
  // One field of the message.
  struct ConvertConfigure {
    double param;      // the value to send, written before Make
    double min;        // lower bound
    double max;        // upper bound
    int bit_num;       // width in the message
    uint64_t max_bit;  // 2^bit_num - 1, 0 when bit_num < 1
    bool use_sign;     // scale [min, max] onto 0..max_bit instead of sending an integer
    double offset;     // added before truncation; 0.5 rounds scaled values
  };

  static constexpr int USE_CHAR_BIT_NUM = 6;
  static constexpr int MAX_MESSAGE_BIT_NUM = 120;

  ShareMessage();
  virtual ~ShareMessage();

  // The text of the current `param` values.
  virtual std::string Make();
  // The same text written into `text` (replacing it), without an allocation once `text`
  // has held a message. Make is this into a new string.
  virtual void MakeInto(std::string& text);

  // Empties `values`; when the hear record `hear_id` (HearID) got a message this cycle,
  // decodes it into `values` and returns true. Returns false, `values` empty, when nothing
  // was heard there or the text is not a message of this configuration.
  virtual bool Receive(std::vector<double>& values, int hear_id);

  // The text-to-values part of Receive. Replaces `values`; false (and `values` empty) when
  // `text` has the wrong length or a character outside the alphabet.
  virtual bool Decode(const std::string& text, std::vector<double>& values) const;

  // Characters of every message of this configuration.
  int GetMessageLength() const;

  static ConvertConfigure CreateConvertConfigure(double min, double max, int bit_num, bool use_sign,
                                                 double offset);

 protected:
  typedef std::bitset<MAX_MESSAGE_BIT_NUM> Bits;

  void DataToBits(Bits& bits);
  void BitsToString(const Bits& bits, std::string& text) const;
  static void StringToBits(const std::string& text, Bits& bits);
  void BitsToData(const Bits& bits, std::vector<double>& values) const;

  std::vector<ConvertConfigure> configures_;

  static const std::string int_to_char_64_;
  static std::map<char, int> char_to_int_64_;
};

}  // namespace zamp
