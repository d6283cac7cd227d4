#pragma once
#include <optional>

#include "cli/session/AreaWrite.h"
#include "cli/session/CliFailure.h"
#include "cli/formats/FieldEdit.h"
#include "cli/session/Session.h"

namespace netsetup::cli {

// What writing named fields came to.
struct FieldWrite {
  FieldEdit edit;                     // the named fields as held before and as they are to be stored
  std::optional<WriteOutcome> write;  // when a write ran: what the instrument is known to hold
};

// write's, apply's and a batch row's work on one instrument: connect, read, encode the fields
// `overlay` names (every other byte as read) and, when one differs and `compareOnly` is false,
// store it through storeArea.
CliResult<FieldWrite> writeNamedFields(Session& session, const FieldOverlay& overlay, const BackupPlace& backup,
                                       const LogPlace& log, bool verify, bool compareOnly);

}  // namespace netsetup::cli
