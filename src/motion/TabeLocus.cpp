#include "motion/TabeLocus.h"

namespace zamp {

namespace {

// One line per cycle: forward offset, height (mm), ankle pitch offset (degrees).
const char* const FORWARD_LOCUS =
    "23,-152,0\n23,-142,0\n2,-138,0\n-16,-136,0\n-38,-134,0\n-40,-145,0\n-19,-149,0\n1,-152,0\n";
const char* const BACK_LOCUS =
    "-3,-162,0\n-22,-160,0\n-42,-154,0\n-41,-138,0\n-25,-134,0\n-12,-140,0\n9,-151,0\n9,-160,0\n";
const char* const STAMP_DETAIL_LOCUS =
    "0,-174,0\n6,-165,0\n6,-156,0\n0,-150,0\n-12,-156,0\n-12,-165,0\n";
const char* const STAMP_SLOW_LOCUS =
    "0,-170,0\n5,-165,0\n5,-160,0\n5,-155,0\n5,-150,0\n"
    "0,-145,0\n-5,-150,0\n-5,-155,0\n-5,-160,0\n-5,-165,0\n";

}  // namespace

TabeLocus::TabeLocus() {
  InputDirectCSV(FORWARD_LOCUS);
  InputDirectCSV(BACK_LOCUS);
  InputDirectCSV(STAMP_DETAIL_LOCUS);
  InputDirectCSV(STAMP_SLOW_LOCUS);
  InputFileCSVOval("tool/test_locus_point/locus_point_ovals");
  InputFileCSVOval("tool/test_locus_point/locus_point_reverse_ovals");
  InputFileCSVOval("tool/test_locus_point/locus_point_datail_ovals");
  InputFileCSVOval("tool/test_locus_point/locus_point_slow_stamp_ovals");
  // Walking backwards retraces the forward loop; the backward text only keeps its
  // statistics.
  CreateReverseLocus(locuses_[LOCUS_FORWORD].targets, locuses_[LOCUS_BACK].targets);
  UpdatePoint();
}

}  // namespace zamp
