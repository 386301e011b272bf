// The locus walk, the match agent's walking engine. Each cycle it takes the next point of a
// closed foot locus for each leg (TabeLocus), scales the stride by the current forward speed,
// solves each leg as two links for hip and knee pitch, adds hip yaw and roll that depend on
// the half of the step and on the turning and sideways speeds, and levels each foot from the
// commanded leg angles through the hinge axes of the body model.
//
// Runs inside the agent's Think, once per cycle while walking. Reads AgentState's body tree
// (hinge axes only); writes the 12 leg joints of JointController and AgentState's published
// walk speed. Foot points in millimetres in the leg's sagittal plane, angles in degrees.
#pragma once

#include <Eigen/Core>
#include <memory>

#include "motion/LocusPoint.h"
#include "motion/Walk.h"

namespace zamp {

class TabeWalk : public Walk {
 public:
  TabeWalk();
  ~TabeWalk() override;
  TabeWalk(const TabeWalk&) = delete;
  TabeWalk& operator=(const TabeWalk&) = delete;

  void Run() override;

  // The walk optimisation replaces the forward locus through this.
  LocusPoint& GetLocusPoint() { return *locus_point_; }
  const LocusPoint& GetLocusPoint() const { return *locus_point_; }

 private:
  std::unique_ptr<LocusPoint> locus_point_;
};

}  // namespace zamp
