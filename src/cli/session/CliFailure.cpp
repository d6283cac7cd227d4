#include "cli/session/CliFailure.h"

namespace netsetup::cli {

namespace {

std::string joined(const std::string& first, const std::vector<std::string>& rest, std::string_view separator) {
  std::string out = first;
  for (const std::string& line : rest) out.append(separator).append(line);
  return out;
}

}  // namespace

CliFailure CliFailure::of(int exit, const Failure& failure, std::string_view after) {
  if (failure.reason.empty()) return {exit, failure.message + std::string(after)};
  // The reason stays last on its line, so "after" joins the message it belongs to only when
  // there is no reason to come between them.
  return {exit, failure.message, failure.reason + std::string(after)};
}

std::string CliFailure::text() const { return reason.empty() ? message : message + ": " + reason; }

std::string CliFailure::lines() const {
  return std::string(kComplaintPrefix) + joined(text(), advice, "\n") + "\n";
}

std::string CliFailure::oneLine() const { return joined(text(), advice, " / "); }

std::string CliFailure::allLines() const { return joined(text(), advice, "\n"); }

}  // namespace netsetup::cli
