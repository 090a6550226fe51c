#include "auto/stepping.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/failure.h"

namespace {

TEST(Stepping, MovesAFieldByTheStepAndWritesDollarHexOrFails) {
  struct Case {
    const char *field, *inc;
    bool down;
    const char* expected;
  };
  const Case cases[] = {
      {"$1010", "$1000", false, "$2010"},
      {"$1010", "$1000", true, "$10"},
      {"$800", "$1000", true, "$FFFFF800"},        // below zero: eight digits
      {"$FFFFF800", "$1000", false, "$800"},       // and back again
      {"$7FFFF000", "$1000", false, "$80000000"},  // wraps to -2^31 without error
      {"4096", "", false, "$1000"},                // a zero step still rewrites the notation
      {"%1010", "abc", true, "$A"},
      {"$100", "-$10", false, "$F0"},  // a negative step moves "+" down
      {"$100", "-$10", true, "$110"},
      {"$80000000", "$80000000", true, "$0"},  // -(-2^31) stays -2^31 in 32 bits
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " by " + c.inc + (c.down ? " down" : " up"));
    EXPECT_EQ(automode::MoveBy(c.field, automode::ReadStep(c.inc, c.down)), c.expected);
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
