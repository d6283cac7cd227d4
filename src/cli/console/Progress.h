#pragma once
#include <cstddef>
#include <ostream>
#include <string>

namespace netsetup::cli {

// How far scan and batch have come, on standard error: a bar redrawn in place on a terminal,
// one plain line per step in a pipe or a log file.
class Progress {
 public:
  Progress(std::ostream& out, bool terminal, std::string what, size_t total)
      : out_(out), terminal_(terminal), what_(std::move(what)), total_(total) {}

  // Step `done` of `total` is in hand: `label` says which.
  void at(size_t done, const std::string& label);
  // A line that stays (a result, an error), printed above the bar.
  void note(const std::string& line);
  void finish();

 private:
  void clearBar();

  std::ostream& out_;
  bool terminal_;
  std::string what_;
  size_t total_;
  bool barShown_ = false;
};

// "[########            ] 12/50": the bar alone, for a given width.
std::string progressBar(size_t done, size_t total, size_t width);

}  // namespace netsetup::cli
