#include <gtest/gtest.h>

#include <stdexcept>

#include "base/app_error.h"

namespace {

TEST(CurrentError, TurnsWhatIsInFlightIntoAnError) {
  try {
    throw nb::AppError(53, L"File not found");
  } catch (...) {
    const nb::AppError e = nb::CurrentError();
    EXPECT_EQ(e.number, 53);
    EXPECT_EQ(e.description, L"File not found");
  }
  try {
    throw std::runtime_error("disk full");
  } catch (...) {
    const nb::AppError e = nb::CurrentError();
    EXPECT_EQ(e.number, nb::kProgramErrorBase);
    EXPECT_EQ(e.description, L"disk full");
  }
}

}  // namespace
