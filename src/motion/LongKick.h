// The long kick as a Kick: its approach thresholds and a keyframe motion read from a
// motion XML file (format in MotionSequenceXML.h). Run, Reset and IsEnd play that motion.
// A file that cannot be read ends the process, as for every motion file.
#pragma once

#include <memory>
#include <string>

#include "motion/Kick.h"
#include "motion/MotionSequenceXML.h"

namespace zamp {

class LongKick : public Kick {
 public:
  // file: path relative to the working directory.
  explicit LongKick(const std::string& file = "data/LongKick.xml");
  ~LongKick() override;
  LongKick(const LongKick&) = delete;
  LongKick& operator=(const LongKick&) = delete;

  void Run() override;
  void Reset() override;
  bool IsEnd() const override;

  const MotionSequenceXML& GetMotion() const { return *kick_; }

 private:
  std::unique_ptr<MotionSequenceXML> kick_;
};

}  // namespace zamp
