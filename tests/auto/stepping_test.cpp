#include "auto/stepping.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/failure.h"

namespace {

TEST(Stepping, MovesAFieldByTheStepOrEndsOneStepAfterTheStartInDollarHexOrFails) {
  // field, step, "+" or "-" (moved by the step) or "E" (the end one step after the field as start), result
  const std::string cases[] = {
      "$1010",     "$1000",     "+", "$2010",     "$800",  "$1000", "-", "$FFFFF800",  // below zero: eight digits
      "$7FFFF000", "$1000",     "+", "$80000000",                                      // wraps to -2^31 without error
      "4096",      "",          "+", "$1000",  // a zero step still rewrites the notation
      "$100",      "-$10",      "-", "$110",   // a negative step moves "-" up
      "$80000000", "$80000000", "-", "$0",     // -(-2^31) stays -2^31 in 32 bits
      "$1010",     "$1000",     "E", "$200F",     "$1010", "1",     "E", "$1010",  // a one-byte range
      "$7FFFFFFF", "$7FFFFFFF", "E", "$FFFFFFFD",                                  // wraps, no error
  };
  for (std::size_t i = 0; i < std::size(cases); i += 4) {
    const std::string &field = cases[i], &step = cases[i + 1], &how = cases[i + 2];
    EXPECT_EQ(
        how == "E" ? automode::OneStepEnd(step, field) : automode::MoveBy(field, automode::ReadStep(step, how == "-")),
        cases[i + 3])
        << field << " by " << step << how;
  }
  EXPECT_THROW(automode::ReadStep("'", false), engine::HostFailure);
  EXPECT_THROW(automode::MoveBy("99999999999", 1), engine::HostFailure);
  EXPECT_THROW(automode::OneStepEnd("$10", "'"), engine::HostFailure);
}

}  // namespace
