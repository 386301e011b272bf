// The foot trajectories of the match walk: four built-in loci (forward, backward, fine and
// slow stepping on the spot) and their ellipse descriptions. Built once by the locus walk;
// the walk optimisation replaces the forward locus through the point-text input.
// Units as in LocusPoint: millimetres in the leg's sagittal plane, degrees.
#pragma once

#include "motion/LocusPoint.h"

namespace zamp {

class TabeLocus : public LocusPoint {
 public:
  // Loads the loci, points the backward locus at the forward points in reverse and takes
  // the first pair of foot points.
  TabeLocus();
};

}  // namespace zamp
