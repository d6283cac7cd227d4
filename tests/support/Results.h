#pragma once
#include <optional>
#include <string>
#include <utility>

#include "text/Result.h"

namespace netsetup::testing {

// A Result as a table of cases states it: the failure's text, or nullopt when it succeeded, so
// one EXPECT_EQ checks both and prints the text when the outcome is not the one expected.
template <class T>
std::optional<std::string> failureText(const Result<T>& result) {
  if (result) return std::nullopt;
  return result.failure().text();
}

// The pointer a Result holds, or null when it failed: for a test that holds an opened line.
template <class Pointer, class E>
Pointer valueOrNull(Result<Pointer, E> result) {
  return result ? std::move(result).value() : nullptr;
}

}  // namespace netsetup::testing
