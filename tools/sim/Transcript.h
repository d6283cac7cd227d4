#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "text/Result.h"

namespace netsetup {

// The simulator's log: one line per frame or event, with a local timestamp to the millisecond,
// e.g. "2025-03-01 10:15:02.417 tcp <- 55 00 FF 00 00 00 AB | to 0, identify, checksum ok".
// Safe to share between the servers' threads.
class Transcript {
 public:
  enum class Direction { In, Out };

  // Writes to an open stream it does not own (stderr, or a test's tmpfile()).
  explicit Transcript(std::FILE* stream);
  // Appends to a file; fails when it cannot be opened.
  static Result<std::unique_ptr<Transcript>> openFile(const std::string& path);
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  void frame(std::string_view channel, Direction direction, const std::vector<uint8_t>& bytes,
             std::string_view summary);
  void note(std::string_view channel, std::string_view text);

 private:
  Transcript(std::FILE* stream, bool owned) : stream_(stream), owned_(owned) {}
  void write(const std::string& line);

  std::FILE* stream_;
  bool owned_ = false;
  std::mutex mutex_;
};

}  // namespace netsetup
