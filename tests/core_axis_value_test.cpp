#include <gtest/gtest.h>

#include "app/axis_value.h"

namespace ledger {
namespace {

TEST(AxisValues, RoundedToTheStepsDecimals) {
  const struct {
    double value, step;
    const char* text;
  } cases[] = {
      {0.1 + 0.1 + 0.1, 0.1, "0.3"}, {0.2 * 3, 0.2, "0.6"}, {150, 50, "150"}, {-0.0, 0.5, "0"},
      {1e-7 * 3, 1e-7, "3E-07"},     {2e20, 1e20, "2E+20"}, {0.05 * 7, 0.05, "0.35"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatAxisValue(c.value, c.step), c.text) << c.text;
}

}  // namespace
}  // namespace ledger
