#include <gtest/gtest.h>

#include "run_time_errors.h"
#include "runtime/run_time_error.h"

namespace runtime {
namespace {

using testing_support::raisedKind;
using testing_support::raisedMessage;

TEST(RunTimeError, EachKindHasItsOwnNumber) {
  EXPECT_EQ(RunTimeError::priceNotANumber(u"x").number(), 1);
  EXPECT_EQ(RunTimeError::priceOverflow(u"1e39").number(), 2);
  EXPECT_EQ(RunTimeError::taxOverflow().number(), 2);
  EXPECT_EQ(RunTimeError::floatingPoint().number(), 3);
  EXPECT_EQ(RunTimeError::controlFailed("a", "b", "").number(), 4);
}

TEST(RunTimeError, CheckControlStatusRaisesOnlyForAFailure) {
  EXPECT_EQ(raisedKind([] { checkControlStatus(ControlStatus::success(), "read its text"); }),
            std::nullopt);
  const auto failed = [] {
    checkControlStatus(ControlStatus::failure("txtPrice", "window closed"), "read its text");
  };
  EXPECT_EQ(raisedKind(failed), ErrorKind::ControlFailed);
  EXPECT_EQ(raisedMessage(failed), "The control txtPrice could not read its text: window closed.");
  EXPECT_EQ(raisedKind(raiseFloatError), ErrorKind::FloatingPoint);
}

}  // namespace
}  // namespace runtime
