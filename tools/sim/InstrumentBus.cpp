#include "InstrumentBus.h"

#include "FrameSummary.h"

namespace netsetup {

Instrument& InstrumentBus::add(std::unique_ptr<Instrument> instrument, std::string stateFile) {
  std::lock_guard lock(mutex_);
  instrument->setAnswersBroadcast(members_.empty());
  members_.push_back({std::move(instrument), std::move(stateFile)});
  return *members_.back().instrument;
}

std::vector<InstrumentResponse> InstrumentBus::handle(const RequestFrame& request, std::string_view channel) {
  if (transcript_ && !request.skipped.empty()) {
    transcript_->frame(channel, Transcript::Direction::In, request.skipped,
                       std::to_string(request.skippedCount) + " bytes before a start byte, skipped");
  }
  if (transcript_)
    transcript_->frame(channel, Transcript::Direction::In, request.bytes, describeRequest(request));

  std::vector<InstrumentResponse> answers;
  std::string silence;
  std::lock_guard lock(mutex_);
  for (Member& member : members_) {
    InstrumentResponse response = member.instrument->respond(request);
    if (response.stored && !member.stateFile.empty()) {
      const Result<void> saved = saveMemoryImage(member.stateFile, member.instrument->memory());
      if (!saved) note(channel, "state not saved: " + saved.failure().text());
    }
    if (!response.bytes.empty()) {
      answers.push_back(std::move(response));
    } else if (response.addressed || members_.size() == 1) {
      if (!silence.empty()) silence += "; ";
      silence += response.note;
    }
  }
  if (answers.empty())
    note(channel, "no answer: " + (silence.empty() ? std::string("no instrument at that address") : silence));
  return answers;
}

void InstrumentBus::logAnswer(std::string_view channel, const InstrumentResponse& response) const {
  if (!transcript_) return;
  std::string summary = response.frame.empty() ? "no frame" : describeAnswer(response.frame);
  if (!response.note.empty()) summary += " [" + response.note + "]";
  transcript_->frame(channel, Transcript::Direction::Out, response.bytes, summary);
}

void InstrumentBus::note(std::string_view channel, std::string_view text) const {
  if (transcript_) transcript_->note(channel, text);
}

}  // namespace netsetup
