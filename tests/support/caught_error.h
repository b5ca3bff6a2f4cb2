// Catching the Error an operation raises, to check its three parts.
#ifndef TESTS_SUPPORT_CAUGHT_ERROR_H_
#define TESTS_SUPPORT_CAUGHT_ERROR_H_

#include <gtest/gtest.h>

#include "vornexa/base/error.h"

namespace vornexa::testing {

// Runs `body` and returns the Error it raised; fails the test when it raised none.
template <typename Body>
Error CaughtError(Body&& body) {
  try {
    body();
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << "no Error raised";
  return Error(0, "", "");
}

// Expects `body` to raise an Error with exactly these three parts.
#define EXPECT_VORNEXA_ERROR(body, number, source, description)                 \
  do {                                                                          \
    const ::vornexa::Error caught_ = ::vornexa::testing::CaughtError([&] { body; }); \
    EXPECT_EQ(caught_.Number(), (number));                                      \
    EXPECT_EQ(caught_.Source(), (source));                                      \
    EXPECT_EQ(caught_.Description(), (description));                            \
  } while (0)

}  // namespace vornexa::testing

#endif  // TESTS_SUPPORT_CAUGHT_ERROR_H_
