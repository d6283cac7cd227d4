#include "cli/console/Progress.h"

#include <algorithm>

namespace netsetup::cli {

std::string progressBar(size_t done, size_t total, size_t width) {
  const size_t filled = total == 0 ? width : std::min(width, done * width / total);
  return "[" + std::string(filled, '#') + std::string(width - filled, ' ') + "] " + std::to_string(done) + "/" +
         std::to_string(total);
}

void Progress::clearBar() {
  if (barShown_) out_ << "\r\x1b[K";
  barShown_ = false;
}

void Progress::at(size_t done, const std::string& label) {
  if (!terminal_) {
    out_ << what_ << ": " << done + 1 << "/" << total_ << " " << label << '\n';
    return;
  }
  clearBar();
  out_ << what_ << " " << progressBar(done, total_, 30) << " " << label;
  out_.flush();
  barShown_ = true;
}

void Progress::note(const std::string& line) {
  clearBar();
  out_ << line << '\n';
}

void Progress::finish() {
  clearBar();
  out_.flush();
}

}  // namespace netsetup::cli
