// The text record of a CMA-ES distribution, appended once per generation so that a search
// can be resumed. One block (numbers in the default stream format, 6 significant digits;
// "\t" between the numbers of a line):
//
//   (empty line)
//   # resume N
//   xmean
//   m_0 ... m_N-1
//   path for sigma
//   ps_0 ... ps_N-1
//   path for C
//   pc_0 ... pc_N-1
//   sigma s
//   covariance matrix
//   C_00
//   C_10 C_11
//   ...                      (lower triangle with the diagonal, row by row)
//   (empty line)
//
// Reading takes the first block of a file and searches each heading word by word, so
// blank lines and extra words between the sections are passed over.
#pragma once

#include "platform/CMASolutions.h"

namespace libcmaes {

class ResumeFile {
 public:
  // Appends one block for a search of dimension dim; the covariance written is the
  // separable one when sep is set. False when the file could not be opened or written.
  static bool write(const char* filename, const CMASolutions& solutions, int dim, bool sep);
  // Loads mean, paths, step size and covariance of the first block into solutions (and the
  // covariance also into the separable one). A file that cannot be opened prints
  // "resumeDistribution(): could not open '<filename>'" on standard output and leaves the
  // solutions unchanged. Any other problem throws std::runtime_error and also leaves them
  // unchanged: a missing heading, a block of another dimension, or a number that cannot be
  // read or is not finite (or a step size that is not positive).
  static void read(const char* filename, int dim, CMASolutions& solutions);
};

}  // namespace libcmaes
