#include "Transcript.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include "FrameSummary.h"
#include "SimPlatform.h"

namespace netsetup {

namespace {

std::string timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::tm local = localTime(seconds);
  char text[40];
  const size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  std::snprintf(text + length, sizeof text - length, ".%03d", static_cast<int>(ms));
  return text;
}

}  // namespace

Transcript::Transcript(std::FILE* stream) : stream_(stream) {}

Result<std::unique_ptr<Transcript>> Transcript::openFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (!file) return Failure{"cannot open " + path, std::strerror(errno)};
  return std::unique_ptr<Transcript>(new Transcript(file, true));
}

Transcript::~Transcript() {
  if (owned_) std::fclose(stream_);
}

void Transcript::frame(std::string_view channel, Direction direction, const std::vector<uint8_t>& bytes,
                       std::string_view summary) {
  std::string line(channel);
  line += direction == Direction::In ? " <- " : " -> ";
  line += hexBytes(bytes);
  line += " | ";
  line += summary;
  write(line);
}

void Transcript::note(std::string_view channel, std::string_view text) {
  std::string line(channel);
  line += " -- ";
  line += text;
  write(line);
}

void Transcript::write(const std::string& line) {
  const std::string stamped = timestamp() + " " + line + "\n";
  std::lock_guard lock(mutex_);
  std::fputs(stamped.c_str(), stream_);
  std::fflush(stream_);
}

}  // namespace netsetup
