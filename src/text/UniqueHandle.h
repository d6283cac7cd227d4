#pragma once
#include <utility>

namespace netsetup {

// Owns one operating-system handle and closes it once: a file descriptor, a Win32 HANDLE, a
// registry key, a device list. `Traits` says what an empty handle is and how one is closed:
//   struct Traits { using Handle = ...; static Handle invalid(); static void close(Handle); };
template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::invalid(); }

  // Gives the handle up without closing it.
  Handle release() { return std::exchange(handle_, Traits::invalid()); }

  // Closes the handle held, if any, and holds `handle` instead.
  void reset(Handle handle = Traits::invalid()) {
    const Handle old = std::exchange(handle_, handle);
    if (old != Traits::invalid()) Traits::close(old);
  }

 private:
  Handle handle_ = Traits::invalid();
};

}  // namespace netsetup
