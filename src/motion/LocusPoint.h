// Foot trajectories for the locus walk. A locus is a closed loop of foot points in the
// sagittal plane of a leg, one point per agent cycle; the right foot follows the loop and
// the left foot the same loop half a period later. The walk reads this cycle's two points,
// then calls UpdatePoint once per cycle to take the next ones.
//
// Frame and units: x is the forward offset of the foot from the hip, y its height relative
// to the hip (negative below), both in millimetres; ankle pitch offsets in degrees.
//
// Point text: one point per line "x,y,degree\n"; every field is read whole like strtod
// (leading blanks skipped, trailing text ignored, no number or a non-finite one reads 0),
// missing fields read 0, fields after the third are ignored, and text after the last
// newline is ignored.
#pragma once

#include <Eigen/Core>
#include <string>
#include <vector>

namespace zamp {

class LocusPoint {
 public:
  // Index into the list of loci, in load order.
  enum LocusType {
    LOCUS_FORWORD = 0,
    LOCUS_BACK = 1,
    LOCUS_STAMP_DETAIL = 2,
    LOCUS_STAMP_SLOW = 3
  };

  struct PointDegree {
    PointDegree() = default;
    PointDegree(double x, double y, double degree_lj5) : x_(x), y_(y), degree_lj5_(degree_lj5) {}
    double x_ = 0.0;           // mm, forward of the hip
    double y_ = 0.0;           // mm, above the hip (negative: below)
    double degree_lj5_ = 0.0;  // degrees, ankle pitch offset
  };

  struct Data {
    std::vector<PointDegree> targets;  // one per cycle, in walking order
    double center_y = 0.0;             // mm, mean height of the points
    double step_length = 0.0;          // mm, forward extent of the points
  };

  // An ellipse that describes a locus as a phase running round it.
  struct Oval {
    double x = 0.0;        // mm, centre
    double y = 0.0;        // mm, centre
    double slope = 0.0;    // rad, rotation of the ellipse
    double width = 0.0;    // mm, semi-axis along the rotated x
    double height = 0.0;   // mm, semi-axis along the rotated y
    double speed = 0.0;    // degrees of phase per cycle
    double offset = 0.0;   // degrees, phase at cycle 0
    bool reverse = false;  // run the ellipse the other way round
  };

  LocusPoint();
  virtual ~LocusPoint();

  // Takes the points for the coming cycle from the current locus and advances the counter.
  // An empty locus is never stepped: nothing changes.
  virtual void UpdatePoint();

  void InputDirectCSV(const std::string& text);
  void InputDirectCSV(const std::string& text, Data& data);
  // Reads name + ".csv"; a file that cannot be opened leaves data unchanged.
  void InputFileCSV(const std::string& name);
  void InputFileCSV(const std::string& name, Data& data);
  void CreateReverseLocus(const std::vector<PointDegree>& src, std::vector<PointDegree>& dst);
  void SettingPointAndDegreeLJ(int left_index, int right_index, const Data& left_locus,
                               const Data& right_locus);

  void InputFileCSVOval(const std::string& name);
  void InputFileCSVOval(const std::string& name, Oval& oval);
  void SettingOvalPoint(int index);
  void CreateOval(const std::vector<PointDegree>& points, bool reverse);

  void UpdateOnlyRightReversePoint() {}
  void UpdateOnlyLeftReversePoint() {}
  void UpdateSharedPoint() {}

  std::vector<Data>& GetLocuses() { return locuses_; }
  const std::vector<Data>& GetLocuses() const { return locuses_; }
  const std::vector<Oval>& GetOvals() const { return ovals_; }
  LocusType GetLocusType() const { return locus_type_; }
  void SetLocusType(LocusType type) { locus_type_ = type; }
  LocusType GetBeforeLocusType() const { return before_locus_type_; }
  const Eigen::Vector2d& GetRightTarget() const { return right_target_; }
  const Eigen::Vector2d& GetLeftTarget() const { return left_target_; }
  double GetRightDegreeLJ5() const { return right_degree_lj5_; }
  double GetLeftDegreeLJ5() const { return left_degree_lj5_; }
  int GetCurrentCycle() const { return current_cycle_; }

 protected:
  std::vector<Data> locuses_;
  std::vector<Oval> ovals_;
  LocusType locus_type_;
  LocusType before_locus_type_;
  Eigen::Vector2d right_target_;  // mm, (forward, height)
  Eigen::Vector2d left_target_;   // mm, (forward, height)
  double right_degree_lj5_;       // degrees
  double left_degree_lj5_;        // degrees
  int current_cycle_;             // index of the right foot's next point
};

}  // namespace zamp
