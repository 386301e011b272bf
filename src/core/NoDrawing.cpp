#include "core/NoDrawing.h"

namespace zamp {

NoDrawing::NoDrawing() : Drawing(false) {}

NoDrawing::~NoDrawing() {}

void NoDrawing::draw() {}

void NoDrawing::swapBuffers(const std::string*) {}

void NoDrawing::drawLine(float, float, float, float, float, float, float, float, float, float,
                         const std::string*) {}

void NoDrawing::drawCircle(float, float, float, float, float, float, float, const std::string*) {}

void NoDrawing::drawSphere(float, float, float, float, float, float, float, const std::string*) {}

void NoDrawing::drawPoint(float, float, float, float, float, float, float, const std::string*) {}

void NoDrawing::drawPolygon(const float*, int, float, float, float, float, const std::string*) {}

void NoDrawing::drawAnnotation(const std::string*, float, float, float, float, float, float,
                               const std::string*) {}

}  // namespace zamp
