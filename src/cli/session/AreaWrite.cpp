#include "cli/session/AreaWrite.h"

#include "cli/formats/BackupFile.h"
#include "cli/console/Console.h"
#include "cli/formats/WriteLog.h"
#include "cli/session/ExitCodes.h"
#include "cli/formats/FieldNames.h"
#include "cli/console/Files.h"
#include "cli/console/ShellWords.h"
#include "cli/console/UtcTime.h"
#include "files/FileStore.h"
#include "link/FrameText.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

std::string joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
  return out;
}

// What to do after a write that did not go as asked, with the command to paste.
std::string restoreAdvice(const Session& session, const std::string& backupPath) {
  return "The area as it was is in " + backupPath + "; read the instrument, check, and write again (or: netsetup-cli " +
         session.target().arguments + " restore " + shellWord(backupPath) + ")";
}

// One part as reading back found it: "ip 11.0.0.7 (10.0.0.7 was written)".
std::string heldPart(const std::string& part, const SettingsArea& held, const SettingsArea& wanted) {
  if (!isFieldName(part)) {
    if (!part.starts_with("byte ")) return part;  // the dial string, never shown
    const size_t offset = std::stoul(part.substr(5));
    return part + " " + std::to_string(held[offset]) + " (" + std::to_string(wanted[offset]) + " was written)";
  }
  if (isSecret(part)) return part + " (not shown)";
  return part + " " + quoteText(fieldValue(storedFields(held), part)) + " (" +
         quoteText(fieldValue(storedFields(wanted), part)) + " was written)";
}

// The failure of a write that sent something, or of its reading back: an interrupt that came
// while it was being finished is named with it.
CliFailure afterSending(Session& session, int exit, const std::string& message, WriteOutcome outcome) {
  const bool interrupted = session.interrupts().any() && exit != kExitInterrupted;
  CliFailure failure{interrupted ? kExitInterrupted : exit,
                     (interrupted ? "interrupted while the write was finished, and " : "") + message + ". " +
                         restoreAdvice(session, outcome.backupPath)};
  if (const std::string fates = fatesText(outcome); !fates.empty()) failure.advice.push_back(fates);
  if (std::optional<std::string> slow = session.slowAnswers()) failure.advice.push_back(*slow);
  failure.write = std::move(outcome);
  return failure;
}

}  // namespace

Backup backupOf(const Session& session, const SettingsArea& area, const std::string& name) {
  return {session.type(), session.target().address, utcNow(), area, session.target().where, name};
}

Result<std::string> saveAt(const BackupPlace& place, const std::string& text) {
  if (place.saved) return place.file;
  if (!place.file.empty()) {
    if (const Result<void> written = saveNewFile(place.file, text); !written) return written.failure();
    return place.file;
  }
  if (const Result<void> folder = files::makeFolder(place.folder, true); !folder) return folder.failure();
  return saveUnderFreeName(files::inFolder(place.folder, place.stem + backupStamp(utcNow())), text);
}

CliResult<std::string> saveBackup(Session& session, const SettingsArea& area, const BackupPlace& place) {
  const Backup backup = backupOf(session, area, place.name);
  const Result<std::string> saved = saveAt(place, formatBackup(backup, storedFields(area)));
  if (saved) return *saved;
  return CliFailure::of(kExitRefused, saved.failure(),
                        std::string("; no backup, so nothing was written to the instrument") +
                            (place.file.empty() ? "" : " (give --backup a new file, or leave it out)"));
}

std::string writeFailureText(const TransferFailure& failure) {
  static constexpr ChunkWords kEnglish{"chunk", "chunks", "of", "was sent but not confirmed", "is written and confirmed",
                                       "are written and confirmed", "was not sent", "were not sent"};
  return writtenChunksText(failure, kEnglish,
                           "code " + std::to_string(failure.status) + ": " + statusMeaning(failure.status));
}

std::string fatesText(const WriteOutcome& outcome) {
  const WriteOutcome::Fates fates = outcome.fates();
  std::string text;
  const auto add = [&text](const char* what, const std::vector<std::string>& names) {
    if (!names.empty()) text += (text.empty() ? "" : "; ") + std::string(what) + ": " + joined(names);
  };
  add("written and confirmed", fates.written);
  add("not known, the instrument holds the old or the new value", fates.unknown);
  add("partly written, part old and part new", fates.otherwise);
  add("not written", fates.notWritten);
  return text;
}

CliResult<> stopAfterFinishing(Session& session, const WriteOutcome& outcome, const std::string& done) {
  if (!session.interrupts().any()) return {};
  CliFailure stopped{kExitInterrupted, "interrupted while writing; the write was finished first: " + done +
                                           ". The area as it was is in " + outcome.backupPath};
  stopped.write = outcome;
  return stopped;
}

namespace {

// The log's line for a write that ran, the exit it leads to included.
WriteRecord recordOf(Session& session, const StoreRequest& request, const WriteOutcome& outcome, int exit) {
  WriteRecord record;
  record.time = utcNow(), record.user = userName(), record.computer = computerName();
  record.command = request.log.command, record.name = request.log.name;
  record.link = session.target().description, record.address = session.target().address;
  record.type = session.type();
  record.outcome = exit == kExitOk ? "written" : exit == kExitInterrupted ? "interrupted" : "failed";
  record.exit = exit;
  const NetworkFields before = storedFields(outcome.before), held = storedFields(outcome.held.bytes());
  for (const std::string& part : outcome.toChange()) {
    if (!isFieldName(part)) continue;
    const bool secret = isSecret(part);
    const auto shown = [&](const NetworkFields& fields) {
      return secret ? std::string(kHiddenValue) : fieldValue(fields, part);
    };
    record.changes.push_back({part, shown(before), outcome.held.known(settingsField(part))
                                                       ? std::optional(shown(held))
                                                       : std::nullopt});
  }
  record.confirmed = confirmedBytes(outcome.written);
  record.verified = outcome.verified;
  record.backup = outcome.backupPath;
  return record;
}

void addToLog(Session& session, const StoreRequest& request, const WriteOutcome& outcome, int exit) {
  const std::string& path = request.log.path;
  if (path.empty() || outcome.backupPath.empty()) return;  // nothing was sent without a backup
  const std::string line = formatWriteRecord(recordOf(session, request, outcome, exit));
  const std::string folder = path.substr(0, path.find_last_of("/\\"));
  Result<void> added = files::makeFolder(folder.empty() ? "/" : folder, true);
  if (added) added = files::appendLocked(path, line, true);
  if (!added) session.io().err << kComplaintPrefix << added.failure().text() << " (the log of writes)\n";
}

CliResult<WriteOutcome> runStore(Session& session, const StoreRequest& request);

}  // namespace

CliResult<WriteOutcome> storeArea(Session& session, const StoreRequest& request) {
  CliResult<WriteOutcome> stored = runStore(session, request);
  if (stored) {
    addToLog(session, request, *stored, session.interrupts().any() ? kExitInterrupted : kExitOk);
  } else if (stored.failure().write) {
    addToLog(session, request, *stored.failure().write, stored.failure().exit);
  }
  return stored;
}

namespace {

// Whether the area just read may be written over: no stop asked for, and no answer that came
// late while it was read.
CliResult<> readyToWrite(Session& session) {
  if (CliResult<> stop = session.stopPoint(); !stop) return stop.failure();
  // An answer that came after its attempt was given up may have been taken for a later request,
  // putting one block's bytes in another's place: wait out any still on its way, and write
  // nothing over an area read so.
  if (session.link().timedOutAttempts() > 0) session.link().settle();
  if (std::optional<std::string> slow = session.slowAnswers()) {
    return CliFailure{kExitTransfer,
                      "answers came late while the settings area was read, so what was read may be mixed up; "
                      "nothing was written", "", {*slow}};
  }
  return {};
}

// The failure of a write that stopped before its last chunk was confirmed.
CliFailure writeStopped(Session& session, WriteOutcome outcome) {
  const TransferFailure failure = outcome.written.failure();
  if (nothingSent(outcome.written)) {
    CliFailure stopped{kExitInterrupted, "interrupted before the first chunk was sent; nothing was written to the "
                                         "instrument (the area as read is saved in " + outcome.backupPath + ")"};
    stopped.write = std::move(outcome);
    return stopped;
  }
  const std::string how = failure.interrupted ? "writing the settings area was interrupted: "
                                              : "writing the settings area failed: ";
  return afterSending(session, failure.interrupted ? kExitInterrupted : kExitTransfer, how + writeFailureText(failure),
                      std::move(outcome));
}

// Reads the area back into `sent` after a write that went through, and finds it as written.
CliResult<WriteOutcome> readBack(Session& session, const StoreRequest& request, WriteOutcome outcome,
                                 SettingsArea& sent) {
  const TransferResult read = ReadSettingsArea(session.link(), session.target().address, sent);
  if (!read) {
    const std::string how = read.failure().interrupted
                                ? "interrupted while reading back: every chunk is written and confirmed, but the "
                                  "write is not verified"
                                : "every chunk is written and confirmed, but " + session.readFailureText(read.failure()) +
                                      ", so the write is not verified";
    return afterSending(session, read.failure().interrupted ? kExitInterrupted : kExitTransfer, how,
                        std::move(outcome));
  }
  outcome.held = HeldArea::asRead(sent);
  const std::vector<std::string> differing = differingParts(request.wanted, sent, kWrittenAreaSize);
  outcome.verified = differing.empty();
  if (outcome.verified) return outcome;
  std::string held;
  for (const std::string& part : differing) held += (held.empty() ? "" : ", ") + heldPart(part, sent, request.wanted);
  return afterSending(session, kExitVerify, "verification failed: reading back, the instrument holds " + held,
                      std::move(outcome));
}

CliResult<WriteOutcome> runStore(Session& session, const StoreRequest& request) {
  if (CliResult<> ready = readyToWrite(session); !ready) return ready.failure();
  WriteOutcome outcome;
  outcome.before = request.before;
  outcome.wanted = request.wanted;
  outcome.named = request.named;
  outcome.held = HeldArea::asRead(request.before);
  CliResult<std::string> saved = saveBackup(session, request.before, request.backup);
  if (!saved) {
    CliFailure failure = saved.failure();
    failure.write = std::move(outcome);  // nothing was sent: the instrument holds what was read
    return failure;
  }
  outcome.backupPath = *saved;

  Interrupts::WriteScope finishing(session.interrupts());  // to the end of the reading back
  SettingsArea sent = request.wanted;  // the instrument's answers are copied back over it
  outcome.written = WriteSettingsArea(session.link(), session.target().address, sent, [&] { finishing.begin(); });
  outcome.held = HeldArea::afterWrite(request.before, request.wanted, outcome.written);
  if (!outcome.written) return writeStopped(session, std::move(outcome));
  if (!request.verify) return outcome;
  return readBack(session, request, std::move(outcome), sent);
}

}  // namespace

}  // namespace netsetup::cli
