#include <gtest/gtest.h>

#include "runtime/run_time_error.h"

namespace runtime {
namespace {

TEST(RunTimeError, EachKindHasItsOwnNumber) {
  EXPECT_EQ(RunTimeError::priceNotANumber(u"x").number(), 1);
  EXPECT_EQ(RunTimeError::priceOverflow(u"1e39").number(), 2);
  EXPECT_EQ(RunTimeError::taxOverflow().number(), 2);
  EXPECT_EQ(RunTimeError::floatingPoint().number(), 3);
  EXPECT_EQ(RunTimeError::controlFailed("a", "b", "").number(), 4);
}

TEST(RunTimeError, CheckControlStatusRaisesOnlyForAFailure) {
  EXPECT_NO_THROW(checkControlStatus(ControlStatus::success(), "txtPrice", "read its text"));
  try {
    checkControlStatus(ControlStatus::failure("window closed"), "txtPrice", "read its text");
    FAIL();
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::ControlFailed);
    EXPECT_STREQ(e.what(), "The control txtPrice could not read its text: window closed.");
  }
  try {
    raiseFloatError();
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::FloatingPoint);
  }
}

}  // namespace
}  // namespace runtime
