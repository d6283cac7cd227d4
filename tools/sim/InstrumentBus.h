#pragma once
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Instrument.h"
#include "RequestParser.h"
#include "Transcript.h"

namespace netsetup {

// The instruments one simulated line reaches, shared by every channel (TCP clients and the
// pseudo-terminal) under one lock. Logs frames to the transcript and keeps state files current.
class InstrumentBus {
 public:
  explicit InstrumentBus(Transcript* transcript = nullptr) : transcript_(transcript) {}

  // Only the first instrument answers address 0, so a broadcast never collides on the line.
  // With a state file, the instrument's memory is saved there after every stored write.
  Instrument& add(std::unique_ptr<Instrument> instrument, std::string stateFile = {});

  size_t size() const { return members_.size(); }
  Transcript* transcript() const { return transcript_; }

  // Runs `f(Instrument&)` on instrument `index` under the lock, e.g. for a test that pokes
  // memory while servers run.
  template <class F>
  auto with(size_t index, F f) {
    std::lock_guard lock(mutex_);
    return f(*members_.at(index).instrument);
  }

  // One request framed by a channel's parser: logged, then offered to every instrument.
  // Returns the answers to send, in bus order.
  std::vector<InstrumentResponse> handle(const RequestFrame& request, std::string_view channel);

  // Logs an answer as it goes out (after any delay the server adds).
  void logAnswer(std::string_view channel, const InstrumentResponse& response) const;
  void note(std::string_view channel, std::string_view text) const;

 private:
  struct Member {
    std::unique_ptr<Instrument> instrument;
    std::string stateFile;
  };

  Transcript* transcript_;
  std::vector<Member> members_;
  std::mutex mutex_;
};

}  // namespace netsetup
