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
  std::string reason;

  // "cannot write r.csv: Permission denied", or the message alone when there is no reason.
  std::string text() const { return reason.empty() ? message : message + ": " + reason; }
};

// The one way everything above the device link reports an outcome: a value, or a Failure.
// (The link itself keeps its Status field.)
template <class T = void>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Failure failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_.has_value(); }
  explicit operator bool() const { return ok(); }

  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }
  const T& operator*() const& { return *value_; }
  T& operator*() & { return *value_; }
  const T* operator->() const { return &*value_; }
  T* operator->() { return &*value_; }

  const Failure& failure() const { return *failure_; }

 private:
  std::optional<T> value_;
  std::optional<Failure> failure_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_.has_value(); }
  explicit operator bool() const { return ok(); }
  const Failure& failure() const { return *failure_; }

 private:
  std::optional<Failure> failure_;
};

}  // namespace netsetup
