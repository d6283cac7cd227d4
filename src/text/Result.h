#pragma once
#include <optional>
#include <string>
#include <utility>

namespace netsetup {

// Why something could not be done: what the tool was doing, and the operating system's own
// words for it where it gave any ("No such file or directory"), kept apart so callers can put
// either in front of the user.
struct Failure {
  std::string message;
  std::string reason = {};  // empty when the system gave none, or the failure is the tool's own

  // "cannot write r.csv: Permission denied", or the message alone when there is no reason.
  std::string text() const { return reason.empty() ? message : message + ": " + reason; }
};

// The one way everything above the device link reports an outcome: a value, or a Failure (or,
// where a caller needs more than a message, an error type of its own). The link itself keeps
// its Status field.
template <class T = void, class E = Failure>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(E failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_.has_value(); }
  explicit operator bool() const { return ok(); }

  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }
  const T& operator*() const& { return *value_; }
  T& operator*() & { return *value_; }
  const T* operator->() const { return &*value_; }
  T* operator->() { return &*value_; }

  const E& failure() const { return *failure_; }

 private:
  std::optional<T> value_;
  std::optional<E> failure_;
};

template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  Result() = default;
  Result(E failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_.has_value(); }
  explicit operator bool() const { return ok(); }
  const E& failure() const { return *failure_; }

 private:
  std::optional<E> failure_;
};

}  // namespace netsetup
