#include "motion/LocusPoint.h"

#include <Eigen/LU>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "core/Tool.h"

namespace zamp {

namespace {

const int POINT_FIELD_NUM = 3;
// A file line longer than this is not a point line; reading stops there.
const std::string::size_type MAX_FILE_LINE_LENGTH = 99;
const std::string::size_type MAX_OVAL_TEXT_LENGTH = 200;
const int OVAL_FIELD_NUM = 8;
const double FITTED_OVAL_SPEED = 40.0;  // degrees per cycle
// Every oval name maps to the same measured ellipse.
const char* const OVAL_TEXT = "-18.5653,-150.939,-0.244222,36.4375,19.5482,0,60,0\n";

// A field is read whole; a value that is not finite would turn every joint command it
// reaches into NaN, so it reads as a missing number.
double ReadNumber(const std::string& field) {
  const double value = std::strtod(field.c_str(), nullptr);
  return std::isfinite(value) ? value : 0.0;
}

LocusPoint::PointDegree ReadPointLine(const std::string& line) {
  double fields[POINT_FIELD_NUM] = {0.0, 0.0, 0.0};
  std::string::size_type begin = 0;
  for (int i = 0; i < POINT_FIELD_NUM && begin <= line.size(); ++i) {
    std::string::size_type end = line.find(',', begin);
    if (end == std::string::npos) end = line.size();
    fields[i] = ReadNumber(line.substr(begin, end - begin));
    begin = end + 1;
  }
  return LocusPoint::PointDegree(fields[0], fields[1], fields[2]);
}

void UpdateStatistics(LocusPoint::Data& data) {
  double sum_y = 0.0;
  double max_x = -9999.9;
  double min_x = 9999.9;
  for (const LocusPoint::PointDegree& p : data.targets) {
    sum_y += p.y_;
    max_x = std::max(max_x, p.x_);
    min_x = std::min(min_x, p.x_);
  }
  // An empty locus has no mean height; 0 keeps the walk's height arithmetic finite.
  data.center_y = data.targets.empty() ? 0.0 : sum_y / static_cast<double>(data.targets.size());
  data.step_length = std::fabs(max_x - min_x);
}

int WrapIndex(int index, int size) { return ((index % size) + size) % size; }

}  // namespace

LocusPoint::LocusPoint()
    : locus_type_(LOCUS_FORWORD),
      before_locus_type_(LOCUS_FORWORD),
      right_target_(Eigen::Vector2d::Zero()),
      left_target_(Eigen::Vector2d::Zero()),
      right_degree_lj5_(0.0),
      left_degree_lj5_(0.0),
      current_cycle_(0) {}

LocusPoint::~LocusPoint() {}

void LocusPoint::UpdatePoint() {
  if (locus_type_ < 0 || locus_type_ >= static_cast<int>(locuses_.size())) return;
  const Data& locus = locuses_[locus_type_];
  const int n = static_cast<int>(locus.targets.size());
  if (n == 0) return;
  before_locus_type_ = locus_type_;
  // The counter may come from a longer locus; wrapping keeps it inside this one.
  const int c = WrapIndex(current_cycle_, n);
  SettingPointAndDegreeLJ((c + n / 2) % n, c, locus, locus);
  current_cycle_ = (c + 1 == n) ? 0 : c + 1;
}

void LocusPoint::InputDirectCSV(const std::string& text) {
  locuses_.emplace_back();
  InputDirectCSV(text, locuses_.back());
}

void LocusPoint::InputDirectCSV(const std::string& text, Data& data) {
  data.targets.clear();
  std::string::size_type begin = 0;
  std::string::size_type end = text.find('\n', begin);
  while (end != std::string::npos) {
    data.targets.push_back(ReadPointLine(text.substr(begin, end - begin)));
    begin = end + 1;
    end = text.find('\n', begin);
  }
  UpdateStatistics(data);
}

void LocusPoint::InputFileCSV(const std::string& name) {
  locuses_.emplace_back();
  InputFileCSV(name, locuses_.back());
}

void LocusPoint::InputFileCSV(const std::string& name, Data& data) {
  std::ifstream file(name + ".csv");
  if (!file) return;
  data.targets.clear();
  std::string line;
  while (std::getline(file, line)) {
    if (line.size() > MAX_FILE_LINE_LENGTH) break;
    data.targets.push_back(ReadPointLine(line));
  }
  UpdateStatistics(data);
}

void LocusPoint::CreateReverseLocus(const std::vector<PointDegree>& src,
                                    std::vector<PointDegree>& dst) {
  dst.assign(src.rbegin(), src.rend());
}

void LocusPoint::SettingPointAndDegreeLJ(int left_index, int right_index, const Data& left_locus,
                                         const Data& right_locus) {
  const int left_n = static_cast<int>(left_locus.targets.size());
  const int right_n = static_cast<int>(right_locus.targets.size());
  if (left_n == 0 || right_n == 0) return;
  const PointDegree& right = right_locus.targets[WrapIndex(right_index, right_n)];
  const PointDegree& left = left_locus.targets[WrapIndex(left_index, left_n)];
  right_target_ = Eigen::Vector2d(right.x_, right.y_);
  right_degree_lj5_ = right.degree_lj5_;
  left_target_ = Eigen::Vector2d(left.x_, left.y_);
  left_degree_lj5_ = left.degree_lj5_;
}

void LocusPoint::InputFileCSVOval(const std::string& name) {
  ovals_.emplace_back();
  InputFileCSVOval(name, ovals_.back());
}

void LocusPoint::InputFileCSVOval(const std::string& /*name*/, Oval& oval) {
  const std::string text(OVAL_TEXT);
  const std::string::size_type length = std::min(text.size(), MAX_OVAL_TEXT_LENGTH);
  double fields[OVAL_FIELD_NUM] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  int count = 0;
  std::string::size_type begin = 0;
  for (std::string::size_type i = 0; i <= length && count < OVAL_FIELD_NUM; ++i) {
    if (i == length || text[i] == ',' || text[i] == '\n') {
      fields[count++] = ReadNumber(text.substr(begin, i - begin));
      begin = i + 1;
    }
  }
  oval.x = fields[0];
  oval.y = fields[1];
  oval.slope = fields[2];
  oval.width = fields[3];
  oval.height = fields[4];
  oval.reverse = fields[5] != 0.0;
  oval.speed = fields[6];
  oval.offset = fields[7];
}

void LocusPoint::SettingOvalPoint(int index) {
  if (index < 0 || index >= static_cast<int>(ovals_.size())) return;
  const Oval& o = ovals_[index];
  const double a = Tool::LimitDegree180(current_cycle_ * o.speed + o.offset);
  const double b = Tool::LimitDegree180(180.0 + current_cycle_ * o.speed + o.offset);
  const double s = o.reverse ? -1.0 : 1.0;
  auto point_at = [&o](double phase_degree) {
    const double p = Tool::ToRadian(phase_degree);
    return Eigen::Vector2d(o.width * std::cos(p) * std::cos(o.slope) -
                               o.height * std::sin(p) * std::sin(o.slope) + o.x,
                           o.width * std::cos(p) * std::sin(o.slope) +
                               o.height * std::sin(p) * std::cos(o.slope) + o.y);
  };
  right_target_ = point_at(s * a);
  left_target_ = point_at(s * b);
  right_degree_lj5_ = 0.0;
  left_degree_lj5_ = 0.0;
  ++current_cycle_;
}

void LocusPoint::CreateOval(const std::vector<PointDegree>& points, bool reverse) {
  // Least squares for x^2 + k1 xy + k2 y^2 + k3 x + k4 y + k5 = 0, one row per point.
  Eigen::Matrix<double, 5, 5> normal = Eigen::Matrix<double, 5, 5>::Zero();
  Eigen::Matrix<double, 5, 1> rhs = Eigen::Matrix<double, 5, 1>::Zero();
  for (const PointDegree& p : points) {
    Eigen::Matrix<double, 5, 1> row;
    row << p.x_ * p.y_, p.y_ * p.y_, p.x_, p.y_, 1.0;
    normal += row * row.transpose();
    rhs -= row * (p.x_ * p.x_);
  }
  const Eigen::Matrix<double, 5, 1> k = normal.partialPivLu().solve(rhs);
  const double k1 = k(0), k2 = k(1), k3 = k(2), k4 = k(3), k5 = k(4);

  Oval oval;
  const double denominator = 4.0 * k2 - k1 * k1;
  oval.x = (k1 * k4 - 2.0 * k2 * k3) / denominator;
  oval.y = (k1 * k3 - 2.0 * k4) / denominator;
  oval.slope = 0.5 * std::atan(k1 / (1.0 - k2));
  const double c = std::cos(oval.slope);
  const double s = std::sin(oval.slope);
  const double pp = std::pow(oval.x * c + oval.y * s, 2);
  const double qq = std::pow(oval.x * s - oval.y * c, 2);
  oval.width = std::sqrt((pp - k5 * c * c) -
                         (qq - k5 * s * s) * (s * s - k2 * c * c) / (c * c - k2 * s * s));
  oval.height = std::sqrt((qq - k5 * s * s) -
                          (pp - k5 * c * c) * (c * c - k2 * s * s) / (s * s - k2 * c * c));
  oval.speed = FITTED_OVAL_SPEED;
  oval.offset = 0.0;
  oval.reverse = reverse;
  // Too few or degenerate points (a line, a hyperbola) give no ellipse; keep the list clean.
  if (!std::isfinite(oval.x) || !std::isfinite(oval.y) || !std::isfinite(oval.slope) ||
      !std::isfinite(oval.width) || !std::isfinite(oval.height)) {
    return;
  }
  ovals_.push_back(oval);
}

}  // namespace zamp
