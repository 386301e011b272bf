#include "motion/LongKick.h"

namespace zamp {

namespace {

const double THRESHOLD_DIST = 0.168;  // m
const double THRESHOLD_BALL_DIR = 0.4;
const double THRESHOLD_TARGET_DIR = 1.0;
const double SHIFT_KICK_POINT = -0.005;  // m, to the right of the kick line
const double MAX_DIST = 19.0;            // m

}  // namespace

LongKick::LongKick(const std::string& file) : kick_(std::make_unique<MotionSequenceXML>(file)) {
  threshold_dist_ = THRESHOLD_DIST;
  threshold_ball_dir_ = THRESHOLD_BALL_DIR;
  threshold_target_dir_ = THRESHOLD_TARGET_DIR;
  shift_kick_point_ = SHIFT_KICK_POINT;
  max_dist_ = MAX_DIST;
}

LongKick::~LongKick() {}

void LongKick::Run() { kick_->Run(); }

void LongKick::Reset() { kick_->Reset(); }

bool LongKick::IsEnd() const { return kick_->IsEnd(); }

}  // namespace zamp
