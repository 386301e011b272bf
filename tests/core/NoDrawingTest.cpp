#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/NoDrawing.h"
#include "support/OpenDescriptors.h"

namespace zamp {
namespace {

using test::CountOpenDescriptors;

TEST(NoDrawingTest, OpensNoSocketAndEveryOperationIsSilent) {
  const int before = CountOpenDescriptors();
  {
    std::unique_ptr<Drawing> drawing(new NoDrawing());
    EXPECT_EQ(before, CountOpenDescriptors());
    const std::string name = "s";
    const float v[] = {0.0f, 0.0f, 0.0f};
    drawing->draw();
    drawing->swapBuffers(&name);
    drawing->drawLine(0, 0, 0, 1, 1, 1, 1, 1, 1, 1, &name);
    drawing->drawCircle(0, 0, 1, 1, 1, 1, 1, &name);
    drawing->drawSphere(0, 0, 0, 1, 1, 1, 1, &name);
    drawing->drawPoint(0, 0, 0, 1, 1, 1, 1, &name);
    drawing->drawPolygon(v, 1, 1, 1, 1, 1, &name);
    drawing->drawPolygon(nullptr, 1000, 1, 1, 1, 1, nullptr);
    drawing->drawAnnotation(&name, 0, 0, 0, 1, 1, 1, &name);
    drawing->drawAgentPicture(1, 0, 0, 0, 0);
    EXPECT_EQ(before, CountOpenDescriptors());
  }
  EXPECT_EQ(before, CountOpenDescriptors());
}

}  // namespace
}  // namespace zamp
