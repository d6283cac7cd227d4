#include "support/FaultMatrix.h"

#include <algorithm>

#include "InstrumentMemory.h"
#include "SimOptions.h"
#include "link/Umod07.h"
#include "netblock/NetworkCodec.h"
#include "netblock/SettingsTransfer.h"
#include "text/Hex.h"

namespace netsetup::matrix {

namespace {

const std::string kIdentifyFailed = "Ошибка определения типа устройства (1)";
const std::string kWrongType = "Ошибка определения типа устройства (2)";

std::string block3NotRead(char code) {
  return std::string("Ошибка чтения настроек: блок 3 из 5 не прочитан (код ") + code + ")";
}

std::string block3NotConfirmed(char code) {
  return std::string("Ошибка записи настроек: блок 3 из 5 отправлен, но не подтверждён (код ") + code +
         "); блоки 1-2 записаны и подтверждены; блоки 4-5 не отправлены";
}

const Outcome kDone{"", 0, 0};
const Outcome kAllWritten{"", 5, 5};

Outcome nothingWritten(const std::string& message) { return {message, 0, 0}; }

// The faults strike the third read request of a Read, or the third write request of a Write, so
// two blocks have gone through when they do.
FaultScope fromBlock3(Action action) {
  return {action == Action::Read ? FaultScope::Command::Read : FaultScope::Command::Write, 3};
}

// Late enough to miss the wait it belongs to, early enough to arrive in the pause after it,
// where the next attempt's purge drops it. Without real pauses the attempts follow one another
// at once: then after all of them, with as long again to spare, as the polls of a loaded machine
// run late and the action is over by then anyway.
unsigned missesTheAttempt(const Budget& b, unsigned waitMs) {
  if (b.pauseMs >= 200) return waitMs + b.pauseMs / 2;
  return 2 * b.attempts * (b.firstByteMs + b.pauseMs);
}

SimSetup withFaults(const std::function<void(Faults&)>& set) {
  SimSetup s;
  set(s.faults);
  return s;
}

std::vector<Row> makeRows() {
  std::vector<Row> rows;
  auto add = [&rows](Row row) { rows.push_back(std::move(row)); };
  const std::string readsOnly = "a Read sends no writes";

  add({.name = "Silence",
       .title = "Silence",
       .lineDoes = "The instrument never answers.",
       .read = nothingWritten(kIdentifyFailed),
       .write = nothingWritten(kIdentifyFailed),
       .setup = [](Action, const Budget&) { return withFaults([](Faults& f) { f.silent = true; }); }});
  add({.name = "AnswerOnThirdTry",
       .title = "An answer only on the third try",
       .lineDoes = "From block 3 on, each request is answered only when it arrives the third time.",
       .read = kDone,
       .write = kAllWritten,
       .setup = [](Action a, const Budget&) {
         return withFaults([a](Faults& f) {
           f.answerFromAttempt = 3;
           f.scope = fromBlock3(a);
         });
       }});
  add({.name = "LateFirstByteWithinBudget",
       .title = "A late first byte, within the wait",
       .lineDoes = "Every answer starts after half the wait for a first byte.",
       .read = kDone,
       .write = kAllWritten,
       .setup = [](Action, const Budget& b) {
         SimSetup s;
         s.timing.delayMs = b.firstByteMs / 2;
         return s;
       }});
  add({.name = "LateFirstByteBeyondBudget",
       .title = "A late first byte, beyond the wait",
       .lineDoes = "From block 3 on, every answer starts after the wait for it is over, during the pause "
                   "before the next attempt.",
       .read = Outcome{block3NotRead('2')},
       .write = Outcome{block3NotConfirmed('2'), 3, 3},
       .setup = [](Action a, const Budget& b) {
         SimSetup s;
         s.timing.delayMs = missesTheAttempt(b, b.firstByteMs);
         s.faults.scope = fromBlock3(a);
         return s;
       }});
  add({.name = "LateByteInsideFrame",
       .title = "A late byte inside a frame",
       .lineDoes = "From block 3 on, the line stalls inside each answer: its length byte comes after the "
                   "wait for it is over.",
       .read = Outcome{block3NotRead('2')},
       .write = Outcome{block3NotConfirmed('2'), 3, 3},
       .setup = [](Action a, const Budget& b) {
         SimSetup s;
         s.timing.lateByte = LineTiming::LateByte{5, missesTheAttempt(b, b.byteMs)};
         s.faults.scope = fromBlock3(a);
         return s;
       }});
  add({.name = "SlowBytes",
       .title = "Slow bytes, within the wait",
       .lineDoes = "Every answer trickles in, its bytes well apart but each within the wait for it.",
       .read = kDone,
       .write = kAllWritten,
       .setup = [](Action, const Budget& b) {
         SimSetup s;
         s.timing.byteGapMs = std::clamp(b.byteMs / 12, 1u, 10u);
         return s;
       }});
  const struct {
    const char* name;
    const char* title;
    const char* lineDoes;
    char code;
    void (*set)(Faults&);
  } damaged[] = {
      {"BadChecksum", "A bad checksum", "From block 3 on, each answer's checksum is off by one.", '4',
       [](Faults& f) { f.badChecksum = true; }},
      {"BadComplement", "A bad address complement",
       "From block 3 on, each answer carries the address where its complement belongs.", '5',
       [](Faults& f) { f.badComplement = true; }},
      {"LengthOver70", "A length over 70", "From block 3 on, each answer claims and carries 71 data bytes.", '3',
       [](Faults& f) { f.oversizeLength = 71; }},
      {"StrayStartByte", "A stray start byte", "From block 3 on, an extra 0xAA comes just before each answer.",
       '5', [](Faults& f) { f.strayStart = true; }},
      {"EndlessNoise", "Endless noise",
       "From block 3 on, the line chatters instead of answering: 1000 bytes of noise, never a frame.", '2',
       [](Faults& f) { f.chatterBytes = 1000; }},
  };
  for (const auto& d : damaged) {
    add({.name = d.name,
         .title = d.title,
         .lineDoes = d.lineDoes,
         .read = Outcome{block3NotRead(d.code)},
         .write = Outcome{block3NotConfirmed(d.code), 3, 3},
         .setup = [set = d.set](Action a, const Budget&) {
           return withFaults([&](Faults& f) {
             set(f);
             f.scope = fromBlock3(a);
           });
         }});
  }
  add({.name = "LengthOtherThanAsked",
       .title = "A length other than asked for",
       .lineDoes = "From the third read on, a read answer is a good frame with 39 data bytes where 40 were "
                   "asked for.",
       .read = Outcome{block3NotRead('3')},
       .write = nothingWritten(block3NotRead('3')),
       .writeNote = "the Write stops in its own read of the settings, before any write",
       .setup = [](Action, const Budget&) {
         return withFaults([](Faults& f) {
           f.readLength = 39;
           f.scope = {FaultScope::Command::Read, 3};
         });
       }});
  add({.name = "NoiseBeforeAnswer",
       .title = "Noise before the answer",
       .lineDoes = "Twelve bytes of noise (never 0xAA) come before every answer.",
       .read = kDone,
       .write = kAllWritten,
       .setup = [](Action, const Budget&) { return withFaults([](Faults& f) { f.noiseBytes = 12; }); }});
  add({.name = "DroppedConnection",
       .title = "A dropped TCP connection",
       .lineDoes = "From block 3 on, the converter hangs up after the first 4 bytes of each answer.",
       .serial = false,
       .read = Outcome{block3NotRead('2')},
       .write = Outcome{block3NotConfirmed('2'), 3, 3},
       .setup = [](Action a, const Budget&) {
         SimSetup s;
         s.timing.dropAfterBytes = 4;
         s.faults.scope = fromBlock3(a);
         return s;
       }});
  add({.name = "OverlongWriteAnswer",
       .title = "An over-long write answer",
       .lineDoes = "Every write is answered with 70 data bytes (0xEE), more than the block it confirms.",
       .write = kAllWritten,
       .readNa = readsOnly,
       .writeNote = "exactly the bytes meant for each block, none of the answer's",
       .setup = [](Action, const Budget&) {
         return withFaults([](Faults& f) { f.writeAnswer = std::vector<uint8_t>(70, 0xEE); });
       }});
  add({.name = "EchoedWrite",
       .title = "An echoed write",
       .lineDoes = "Every write is answered with the bytes it stored.",
       .write = kAllWritten,
       .readNa = readsOnly,
       .setup = [](Action, const Budget&) { return withFaults([](Faults& f) { f.echoWrites = true; }); }});
  add({.name = "WrongDeviceType",
       .title = "A wrong device type",
       .lineDoes = "The instrument says it is a VRN-207KM.",
       .read = nothingWritten(kWrongType),
       .write = nothingWritten(kWrongType),
       .setup = [](Action, const Budget&) {
         SimSetup s;
         s.typeString = "VRN-207KM";
         return s;
       }});
  add({.name = "PaddedDeviceType",
       .title = "A padded device type",
       .lineDoes = "The type string comes with a zero byte after VRN-207K.",
       .read = nothingWritten(kWrongType),
       .write = nothingWritten(kWrongType),
       .setup = [](Action, const Budget&) { return withFaults([](Faults& f) { f.typePadding = 1; }); }});
  add({.name = "SilenceFromBlock3",
       .title = "Silence from block 3 on",
       .lineDoes = "The instrument stops answering at the third read (Read) or the third write (Write); "
                   "such a write is not stored.",
       .read = Outcome{block3NotRead('2')},
       .write = Outcome{block3NotConfirmed('2'), 3, 2},
       .setup = [](Action a, const Budget&) {
         return withFaults([a](Faults& f) { (a == Action::Read ? f.silentFromRead : f.silentFromWrite) = 3; });
       }});
  add({.name = "StoredNotConfirmed",
       .title = "A write stored but not confirmed",
       .lineDoes = "From the third write on, the instrument stores each write but its answer never comes.",
       .write = Outcome{block3NotConfirmed('2'), 3, 3},
       .readNa = readsOnly,
       .setup = [](Action, const Budget&) { return withFaults([](Faults& f) { f.unconfirmedFromWrite = 3; }); }});
  add({.name = "MangledWrite",
       .title = "A write stored wrongly",
       .lineDoes = "The instrument stores the first byte of the IP address XOR 0x01 yet confirms the write.",
       .write = kAllWritten,
       .readNa = readsOnly,
       .writeNote = "but byte 0x0626 (the IP address's first) holds the value XOR 0x01: the window cannot see "
                    "this; netsetup-cli write reads back and reports it",
       .setup = [](Action, const Budget&) {
         return withFaults([](Faults& f) { f.mangleAddress = kSettingsAreaAddress + kIpAddressOffset; });
       }});
  add({.name = "WrongLineRate",
       .title = "The line at another rate",
       .lineDoes = "The instrument listens at 57600 baud; the window's line is at 9600, so it hears noise.",
       .tcp = false,
       .read = nothingWritten(kIdentifyFailed),
       .write = nothingWritten(kIdentifyFailed),
       .setup = [](Action, const Budget&) {
         SimSetup s;
         s.timing.baud = 57600;
         s.timing.strictRate = true;
         return s;
       }});
  return rows;
}

// "1-2" or "3".
std::string blocks(int first, int last) {
  return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

size_t blockOffset(int block) {
  size_t offset = 0;
  for (int b = 1; b < block; ++b) offset += kWriteChunkSizes[b - 1];
  return offset;
}

std::string hex4(unsigned value) { return "0x" + hexDigits(value, 4); }

// An argument as the table shows it: a byte string of more than four bytes by its first two and
// its length.
std::string shown(const std::string& word) {
  const bool bytes =
      word.size() > 8 && std::all_of(word.begin(), word.end(), [](char c) { return hexDigitValue(c) >= 0; });
  return bytes ? word.substr(0, 4) + "…(" + std::to_string(word.size() / 2) + " bytes)" : word;
}

}  // namespace

const char* actionName(Action action) { return action == Action::Read ? "Read" : "Write"; }
const char* lineName(Line line) { return line == Line::Tcp ? "Tcp" : "Serial"; }

Budget budgetOf(const Tmod07& link, unsigned pollMs, bool pausesSleep) {
  const ExchangeBudget budget = link.exchangeBudget();
  return {.firstByteMs = budget.firstBytePolls * pollMs,
          .byteMs = budget.bytePolls * pollMs,
          .pauseMs = pausesSleep ? budget.pauseMs : 0,
          .attempts = budget.attempts};
}

bool Row::applies(Action action, Line line) const {
  return (line == Line::Tcp ? tcp : serial) && (action == Action::Read ? read : write).has_value();
}

const std::vector<Row>& rows() {
  static const std::vector<Row> all = makeRows();
  return all;
}

NetworkFields newFields() {
  NetworkFields f = decodeNetworkSettings(defaultSettingsArea());
  f.ipAddress = "10.20.30.40";                  // block 1
  f.serverAddress = "new.example.net";          // block 2
  f.authIndex = 3;                              // block 2
  f.apnName = "apn.new.example.net";            // blocks 2 and 3
  f.apnLogin = "newlogin";                      // block 4
  f.apnPassword = "NewPass1";                   // block 4
  return f;
}

std::string simOptions(const SimSetup& s) {
  SimOptions options;
  options.typeString = s.typeString;
  options.faults = s.faults;
  options.timing = s.timing;
  std::string text;
  for (const std::string& word : simArguments(options)) text += (text.empty() ? "" : " ") + shown(word);
  return text;
}

std::vector<std::string> brokenRules(const Row& row, Action action, const SimSetup& setup, const Observed& seen) {
  std::vector<std::string> broken;
  auto rule = [&broken](bool holds, const std::string& what) {
    if (!holds) broken.push_back(what);
  };
  const Outcome& want = row.outcome(action);
  rule(seen.message == want.message, "shown \"" + seen.message + "\" instead of \"" + want.message + "\"");
  rule(!seen.linkOpen, "the link was left open");

  if (action == Action::Read) {
    rule(seen.writeRequests == 0, "a Read sent a write request");
    rule(seen.areaAfter == seen.areaBefore, "a Read changed the instrument's settings");
    if (want.message.empty()) {
      rule(seen.fieldsAfter == decodeNetworkSettings(seen.areaAfter), "the fields do not show the instrument's settings");
    } else {
      rule(seen.fieldsAfter == seen.fieldsBefore, "a failed Read changed the fields");
    }
    return broken;
  }

  rule(seen.fieldsAfter == seen.fieldsBefore, "a Write changed the fields");
  if (want.sent == 0) {
    rule(seen.writeRequests == 0, std::to_string(seen.writeRequests) + " write requests where none may be sent");
  } else {
    const uint16_t last = static_cast<uint16_t>(kSettingsAreaAddress + blockOffset(want.sent));
    rule(seen.lastWriteAddress == last, "the last write went to " +
                                            (seen.lastWriteAddress ? hex4(*seen.lastWriteAddress) : "nowhere") +
                                            ", not to block " + std::to_string(want.sent) + " at " + hex4(last));
  }

  // Blocks 1..stored hold what the Write meant to store, the others what they held before.
  SettingsArea intended = seen.areaBefore;
  if (!encodeNetworkSettings(seen.written, intended).ok()) {
    broken.push_back("the fields given to the Write cannot be stored");
    return broken;
  }
  SettingsArea expected = seen.areaBefore;
  const size_t storedEnd = blockOffset(want.stored + 1);
  std::copy_n(intended.begin(), storedEnd, expected.begin());
  if (setup.faults.mangleAddress) {
    const size_t at = static_cast<uint16_t>(*setup.faults.mangleAddress - kSettingsAreaAddress);
    if (at < storedEnd) expected[at] ^= 0x01;
  }
  for (int block = 1; block <= kChunkCount + 1; ++block) {
    // Block 6 stands for the area's last bytes, which are read but never written.
    const size_t from = blockOffset(block);
    const size_t to = block <= kChunkCount ? blockOffset(block + 1) : kSettingsAreaSize;
    if (std::equal(expected.begin() + from, expected.begin() + to, seen.areaAfter.begin() + from)) continue;
    const bool isNew = std::equal(intended.begin() + from, intended.begin() + to, seen.areaAfter.begin() + from);
    const bool isOld = std::equal(seen.areaBefore.begin() + from, seen.areaBefore.begin() + to, seen.areaAfter.begin() + from);
    const std::string where = block <= kChunkCount ? "block " + std::to_string(block) : "bytes 195-199";
    rule(false, where + (isNew ? " holds the new bytes" : isOld ? " still holds the old bytes" : " holds bytes never sent"));
  }
  return broken;
}

std::string markdownTable(const Budget& tcp, const Budget& serial) {
  auto quoted = [](const std::string& message) { return "«" + message + "»"; };
  auto shown = [&](const Row& row, Action action) -> std::string {
    const bool read = action == Action::Read;
    if (!(read ? row.read : row.write)) return "does not apply: " + (read ? row.readNa : row.writeNa);
    const Outcome& o = row.outcome(action);
    if (!o.message.empty()) return quoted(o.message);
    return read ? "nothing; the fields show the instrument's settings" : "nothing";
  };
  auto holds = [](const Row& row) -> std::string {
    if (!row.write) return "does not apply";
    const Outcome& o = *row.write;
    std::string text;
    if (o.sent == 0) {
      text = "its settings as before (nothing was written)";
    } else if (o.stored == kChunkCount) {
      text = "all 5 blocks new";
    } else {
      text = "blocks " + blocks(1, o.stored) + " new, " + blocks(o.stored + 1, kChunkCount) + " as before";
      if (o.stored == o.sent) text += "; block " + std::to_string(o.sent) + " was stored though never confirmed";
      if (o.stored < o.sent) text += "; block " + std::to_string(o.sent) + " was not stored";
    }
    if (!row.writeNote.empty()) text += "; " + row.writeNote;
    return text;
  };
  // The options once when every case of the row uses the same, else by action or by line.
  auto options = [&](const Row& row) {
    std::vector<std::pair<std::string, std::string>> byAction, byLine, byCase;
    for (Action a : {Action::Read, Action::Write}) {
      for (Line l : {Line::Tcp, Line::Serial}) {
        if (!row.applies(a, l)) continue;
        const std::string text = "`" + simOptions(row.setup(a, l == Line::Tcp ? tcp : serial)) + "`";
        const std::string line = l == Line::Tcp ? "TCP" : "serial";
        byAction.emplace_back(actionName(a), text);
        byLine.emplace_back(line, text);
        byCase.emplace_back(std::string(actionName(a)) + ", " + line, text);
      }
    }
    // Consistent when each label always comes with the same options.
    auto consistent = [](const std::vector<std::pair<std::string, std::string>>& v) {
      return std::all_of(v.begin(), v.end(), [&](const auto& x) {
        return std::all_of(v.begin(), v.end(), [&](const auto& y) { return x.first != y.first || x.second == y.second; });
      });
    };
    auto list = [](const std::vector<std::pair<std::string, std::string>>& v) {
      std::string text;
      for (const auto& [label, options] : v) {
        const std::string item = label + ": " + options;
        if (text.find(item) == std::string::npos) text += (text.empty() ? "" : "<br>") + item;
      }
      return text;
    };
    const bool same = std::all_of(byCase.begin(), byCase.end(), [&](const auto& v) { return v.second == byCase.front().second; });
    if (same) return byCase.front().second;
    if (consistent(byAction)) return list(byAction);
    if (consistent(byLine)) return list(byLine);
    return list(byCase);
  };

  std::string table =
      "| Fault | What the line does | netsetup-sim options | Read: the window shows | Write: the window shows | "
      "Write: the instrument then holds |\n|---|---|---|---|---|---|\n";
  for (const Row& row : rows()) {
    std::string fault = row.title + " (`" + row.name + "`)";
    if (!row.tcp) fault += ", serial line only";
    if (!row.serial) fault += ", TCP only";
    table += "| " + fault + " | " + row.lineDoes + " | " + options(row) + " | " + shown(row, Action::Read) + " | " +
             shown(row, Action::Write) + " | " + holds(row) + " |\n";
  }
  return table;
}

}  // namespace netsetup::matrix
