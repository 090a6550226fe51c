#include "auto/stepping.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/failure.h"

namespace {

TEST(Stepping, MovesAFieldByTheStepAndWritesDollarHexOrFails) {
  // field, step, "+" or "-", the field moved
  const std::string cases[] = {
      "$1010",     "$1000", "+", "$2010",     "$1010",     "$1000",     "-", "$10",
      "$800",      "$1000", "-", "$FFFFF800",  // below zero: eight digits
      "$FFFFF800", "$1000", "+", "$800",       // and back again
      "$7FFFF000", "$1000", "+", "$80000000",  // wraps to -2^31 without error
      "4096",      "",      "+", "$1000",      // a zero step still rewrites the notation
      "%1010",     "abc",   "-", "$A",        "$100",      "-$10",      "+", "$F0",  // a negative step moves "+" down
      "$100",      "-$10",  "-", "$110",      "$80000000", "$80000000", "-", "$0",   // -(-2^31) stays -2^31 in 32 bits
  };
  for (std::size_t i = 0; i < std::size(cases); i += 4) {
    SCOPED_TRACE(cases[i] + " by " + cases[i + 1] + cases[i + 2]);
    EXPECT_EQ(automode::MoveBy(cases[i], automode::ReadStep(cases[i + 1], cases[i + 2] == "-")), cases[i + 3]);
  }
  EXPECT_THROW(automode::ReadStep("'", false), engine::HostFailure);
  EXPECT_THROW(automode::MoveBy("99999999999", 1), engine::HostFailure);
}

TEST(Stepping, OneStepEndCoversExactlyOneStepOrFails) {
  EXPECT_EQ(automode::OneStepEnd("$1000", "$1010"), "$200F");
  EXPECT_EQ(automode::OneStepEnd("1", "$1010"), "$1010");                  // a one-byte range
  EXPECT_EQ(automode::OneStepEnd("", "$1010"), "$100F");                   // zero step: one below the start
  EXPECT_EQ(automode::OneStepEnd("$7FFFFFFF", "$7FFFFFFF"), "$FFFFFFFD");  // wraps, no error
  EXPECT_THROW(automode::OneStepEnd("$10", "'"), engine::HostFailure);
  EXPECT_THROW(automode::OneStepEnd("'", "$10"), engine::HostFailure);
}

}  // namespace
