// The silent drawing client the match agent installs: every operation does nothing and no
// socket is ever opened, so a game process sends no debug traffic.
#pragma once

#include <string>

#include "core/Drawing.h"

namespace zamp {

class NoDrawing : public Drawing {
 public:
  NoDrawing();
  ~NoDrawing() override;

  void draw() override;
  void swapBuffers(const std::string* setName) override;
  void drawLine(float x1, float y1, float z1, float x2, float y2, float z2, float thickness,
                float r, float g, float b, const std::string* setName) override;
  void drawCircle(float x, float y, float radius, float thickness, float r, float g, float b,
                  const std::string* setName) override;
  void drawSphere(float x, float y, float z, float radius, float r, float g, float b,
                  const std::string* setName) override;
  void drawPoint(float x, float y, float z, float size, float r, float g, float b,
                 const std::string* setName) override;
  void drawPolygon(const float* v, int numVerts, float r, float g, float b, float a,
                   const std::string* setName) override;
  void drawAnnotation(const std::string* text, float x, float y, float z, float r, float g, float b,
                      const std::string* setName) override;
};

}  // namespace zamp
