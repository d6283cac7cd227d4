#include "netblock/SettingsTransfer.h"

#include <algorithm>
#include <numeric>

#include "link/Frame.h"

namespace netsetup {

static_assert(size_t{kReadChunkSize} * kChunkCount == kSettingsAreaSize);
static_assert(std::accumulate(kWriteChunkSizes.begin(), kWriteChunkSizes.end(), size_t{0}) ==
              kWrittenAreaSize);

size_t confirmedBytes(const TransferResult& result) {
  if (result) return kWrittenAreaSize;
  return std::accumulate(kWriteChunkSizes.begin(), kWriteChunkSizes.begin() + result.failure().failedChunk, size_t{0});
}

bool nothingSent(const TransferResult& result) {
  return !result && result.failure().interrupted && result.failure().failedChunk == 0;
}

namespace {

// "chunk 3 <one>" or "chunks 1-3 <several>": the verb agrees in number.
std::string chunkRange(const ChunkWords& words, int first, int last, std::string_view one, std::string_view several) {
  const std::string range = first == last ? std::string(words.chunk) + " " + std::to_string(first)
                                          : std::string(words.chunks) + " " + std::to_string(first) + "-" +
                                                std::to_string(last);
  return range + " " + std::string(first == last ? one : several);
}

}  // namespace

std::string writtenChunksText(const TransferFailure& failure, const ChunkWords& words, std::string_view status) {
  const int chunk = failure.failedChunk + 1;
  const int firstUnsent = failure.interrupted ? chunk : chunk + 1;
  std::string text;
  const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
  if (!failure.interrupted) {
    add(std::string(words.chunk) + " " + std::to_string(chunk) + " " + std::string(words.of) + " " +
        std::to_string(kChunkCount) + " " + std::string(words.sentUnconfirmed) + " (" + std::string(status) + ")");
  }
  if (chunk > 1) add(chunkRange(words, 1, chunk - 1, words.confirmedOne, words.confirmedSeveral));
  if (firstUnsent <= kChunkCount) add(chunkRange(words, firstUnsent, kChunkCount, words.unsentOne, words.unsentSeveral));
  return text;
}

namespace {

TransferFailure failed(const Tmod07& link, int chunk) {
  return {.failedChunk = chunk, .status = link.Status, .interrupted = link.stopped()};
}

}  // namespace

TransferResult ReadSettingsArea(Tmod07& link, uint8_t networkAddress, SettingsArea& area) {
  // Read into a copy, so a read that breaks off never leaves a half-new area behind.
  SettingsArea fresh = area;
  for (int chunk = 0; chunk < kChunkCount; ++chunk) {
    const size_t offset = size_t{kReadChunkSize} * chunk;
    link.ReadMemory(networkAddress, static_cast<uint16_t>(kSettingsAreaAddress + offset),
                    fresh.data() + offset, kReadChunkSize);
    if (link.Status != StatusOk) return failed(link, chunk);
  }
  area = fresh;
  return {};
}

TransferResult WriteSettingsArea(Tmod07& link, uint8_t networkAddress, SettingsArea& area,
                                 const std::function<void()>& committed) {
  size_t offset = 0;
  for (int chunk = 0; chunk < kChunkCount; ++chunk) {
    if (link.stopRequested()) return TransferFailure{.failedChunk = chunk, .interrupted = true};
    if (chunk == 0 && committed) committed();
    const uint8_t count = kWriteChunkSizes[chunk];
    // The answer to a write is copied back over the buffer it was sent from, and may be longer
    // than the chunk: give it room of its own, so the next chunk still goes out as read.
    std::array<uint8_t, kMaxResponseData> buffer{};
    std::copy_n(area.begin() + offset, count, buffer.begin());
    link.WriteMemory(networkAddress, static_cast<uint16_t>(kSettingsAreaAddress + offset),
                     buffer.data(), count);
    if (link.Status != StatusOk) return failed(link, chunk);
    std::copy_n(buffer.begin(), count, area.begin() + offset);
    offset += count;
  }
  return {};
}

}  // namespace netsetup
