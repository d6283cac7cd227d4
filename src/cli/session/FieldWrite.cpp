#include "cli/session/FieldWrite.h"

#include "cli/session/ExitCodes.h"

namespace netsetup::cli {

CliResult<FieldWrite> writeNamedFields(Session& session, const FieldOverlay& overlay, const BackupPlace& backup,
                                       const LogPlace& log, bool verify, bool compareOnly) {
  const CliResult<SettingsArea> read = session.connectAndRead();
  if (!read) return read.failure();
  Result<FieldEdit> edited = editNamedFields(*read, overlay);
  if (!edited) return CliFailure{kExitRefused, edited.failure().text() + "; nothing was written"};
  FieldWrite done{std::move(*edited), std::nullopt};
  if (done.edit.changed.empty() || compareOnly) return done;
  CliResult<WriteOutcome> stored =
      storeArea(session, StoreRequest{*read, done.edit.area, done.edit.namedNames(), backup, verify, log});
  if (!stored) return stored.failure();
  done.write = std::move(*stored);
  return done;
}

}  // namespace netsetup::cli
