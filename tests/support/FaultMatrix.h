#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Faults.h"
#include "LineTiming.h"
#include "netblock/NetworkSettings.h"

namespace netsetup {
class Tmod07;
}

// Every fault the simulator can put on the line, what the window's Read and Write must end
// with under it, and the rules that check an action against that. The fault-matrix tests and
// the soak benchmark both run from here, so the rules exist once.
namespace netsetup::matrix {

enum class Action { Read, Write };
enum class Line { Tcp, Serial };

const char* actionName(Action action);
const char* lineName(Line line);

// How the link's time limits play out on one line, in milliseconds of real time.
struct Budget {
  unsigned firstByteMs = 0;  // the wait for an answer's first byte
  unsigned byteMs = 0;       // the wait for each later byte
  unsigned pauseMs = 0;      // between two attempts
  unsigned attempts = 0;
};

// The budget of `link` as set now. `pollMs` is what one empty poll costs on the line (20 ms over
// TCP; on a serial line the read's own wait comes on top); `pausesSleep` is false for a sleeper
// that skips the pauses between attempts.
Budget budgetOf(const Tmod07& link, unsigned pollMs, bool pausesSleep);

// What the simulator is told for one case.
struct SimSetup {
  Faults faults;
  LineTiming timing;
  std::string typeString = "VRN-207K";
};

// The options of netsetup-sim that give `setup`, from its option table, as the document shows
// them (a long byte string by its beginning and length).
std::string simOptions(const SimSetup& setup);

// How an action must end.
struct Outcome {
  std::string message;  // exactly what the window shows; empty: nothing
  int sent = 0;         // Write: the last block sent (the failed one, or 5); 0: no write sent
  int stored = 0;       // Write: blocks 1..stored hold the new bytes afterwards, the others the old
};

struct Row {
  std::string name{};      // the test case's name: "BadChecksum"
  std::string title{};     // "A bad checksum"
  std::string lineDoes{};  // what the line does, in plain words
  bool tcp = true;
  bool serial = true;
  std::optional<Outcome> read{};   // nullopt: the fault cannot reach a Read
  std::optional<Outcome> write{};  // nor a Write
  std::string readNa{};            // why not, for the table
  std::string writeNa{};
  std::string writeNote{};  // what the table adds about the instrument's memory after a Write
  std::function<SimSetup(Action, const Budget&)> setup{};

  bool applies(Action action, Line line) const;
  const Outcome& outcome(Action action) const { return action == Action::Read ? *read : *write; }
};

const std::vector<Row>& rows();

// The record a Write stores in these runs: it differs from the simulator's own in every block
// that holds a field (block 5 holds none).
NetworkFields newFields();

// What one action did, as seen from outside.
struct Observed {
  std::string message;  // what the user was shown; empty: nothing
  NetworkFields fieldsBefore, fieldsAfter;  // what the window's fields showed
  NetworkFields written;                    // Write: the fields it was given
  SettingsArea areaBefore{}, areaAfter{};   // the instrument's settings area
  unsigned writeRequests = 0;               // write requests the instrument saw
  std::optional<uint16_t> lastWriteAddress;
  bool linkOpen = false;
};

// Every rule the action broke, in words; empty when it behaved as the row says.
std::vector<std::string> brokenRules(const Row& row, Action action, const SimSetup& setup, const Observed& seen);

// The table of docs/fault-matrix.md, one row per fault, for the link's usual budgets.
std::string markdownTable(const Budget& tcp, const Budget& serial);

}  // namespace netsetup::matrix
