// Damages perception texts the way a faulty link or a buggy server might, so robustness
// tests can replay real captures with random corruption: bytes overwritten, messages cut
// short, bracketed elements removed, numbers replaced by values no sensor gives. Seeded, so
// a failing run can be repeated exactly.
//
//   zamp::test::MessageCorruptor corruptor(7);
//   for (const std::string& line : lines) link.SendFrame(corruptor.Corrupt(line));
#pragma once

#include <random>
#include <string>

namespace zamp::test {

class MessageCorruptor {
 public:
  enum Kind { FLIP_BYTES = 0, CUT_SHORT, REMOVE_ELEMENTS, REPLACE_NUMBERS, KIND_NUM };

  explicit MessageCorruptor(unsigned seed);

  // One kind of damage, chosen at random, or (one time in five) the message unchanged.
  std::string Corrupt(const std::string& message);

  // Overwrites one to eight bytes, mostly with the parser's own vocabulary (brackets,
  // blanks, digits, signs, the letters of "nan" and "inf"), else with any byte value.
  std::string FlipBytes(const std::string& message);
  // Keeps a random prefix (possibly empty).
  std::string CutShort(const std::string& message);
  // Removes one to three bracketed elements, chosen at any depth with their contents.
  std::string RemoveElements(const std::string& message);
  // Replaces one to four numbers by "nan", "inf", "-inf", "1e999", "-0" or an empty text.
  std::string ReplaceNumbers(const std::string& message);

 private:
  // A uniform integer in [low, high].
  int Pick(int low, int high);

  std::mt19937 random_;
};

}  // namespace zamp::test
