#include "auto/stepping.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/failure.h"

namespace {

TEST(Stepping, MovesAFieldByTheStepOrEndsOneStepAfterTheStartInDollarHexOrFails) {
  enum How { plus, minus, oneStepEnd };  // moved by the step, or the end one step after the field as start
  const struct {
    const char *field, *step;
    How how;
    const char* result;
  } cases[] = {
      {.field = "$7FFFF000", .step = "$1000", .how = plus, .result = "$80000000"},            // wraps to -2^31 without error
      {.field = "4096", .step = "", .how = plus, .result = "$1000"},                          // a zero step still rewrites the notation
      {.field = "$100", .step = "-$10", .how = minus, .result = "$110"},                      // a negative step moves "-" up
      {.field = "$80000000", .step = "$80000000", .how = minus, .result = "$0"},              // -(-2^31) stays -2^31 in 32 bits
      {.field = "$1010", .step = "1", .how = oneStepEnd, .result = "$1010"},                  // a one-byte range
      {.field = "$7FFFFFFF", .step = "$7FFFFFFF", .how = oneStepEnd, .result = "$FFFFFFFD"},  // wraps, no error
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.how == oneStepEnd ? automode::OneStepEnd(c.step, c.field) : automode::MoveBy(c.field, automode::ReadStep(c.step, c.how == minus)),
              c.result)
        << c.field << " by " << c.step;
  }
  EXPECT_THROW(automode::MoveBy("99999999999", 1), engine::HostFailure);
}

}  // namespace
