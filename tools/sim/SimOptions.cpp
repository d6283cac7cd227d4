#include "SimOptions.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <type_traits>

#include "text/Hex.h"

namespace netsetup {

namespace {

using Values = std::vector<std::string>;

const SimOptions kDefaults;

std::optional<unsigned long> parseNumber(const std::string& text, unsigned long min, unsigned long max) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  unsigned long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value < min || value > max) return std::nullopt;
  return value;
}

// A memory address: decimal, or hex after "0x".
std::optional<uint16_t> parseAddress(const std::string& text) {
  if (text.rfind("0x", 0) != 0 && text.rfind("0X", 0) != 0) {
    const auto n = parseNumber(text, 0, 0xFFFF);
    return n ? std::optional<uint16_t>(static_cast<uint16_t>(*n)) : std::nullopt;
  }
  const std::string_view digits = std::string_view(text).substr(2);
  const std::optional<uint32_t> address = digits.size() <= 4 ? parseHexDigits(digits) : std::nullopt;
  return address ? std::optional<uint16_t>(static_cast<uint16_t>(*address)) : std::nullopt;
}

// Bytes as pairs of hex digits, spaces, colons and commas between them ignored.
std::optional<std::vector<uint8_t>> parseHex(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (c == ' ' || c == ':' || c == ',') continue;
    if (hexDigitValue(c) < 0) return std::nullopt;
    digits += c;
  }
  if (digits.size() % 2) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < digits.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(*parseHexDigits(std::string_view(digits).substr(i, 2))));
  }
  return bytes;
}

constexpr const char* kScopeWords[] = {"all", "identify", "read", "write"};  // by FaultScope::Command

// "read", "write:3", "identify", "all": which answers the faults reach.
std::optional<FaultScope> parseScope(const std::string& text) {
  const size_t colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  FaultScope scope;
  if (kind == "all") return colon == std::string::npos ? std::optional(scope) : std::nullopt;
  const auto word = std::find(std::begin(kScopeWords) + 1, std::end(kScopeWords), kind);
  if (word == std::end(kScopeWords)) return std::nullopt;
  scope.command = static_cast<FaultScope::Command>(word - std::begin(kScopeWords));
  if (colon != std::string::npos) {
    const auto from = parseNumber(text.substr(colon + 1), 1, 1000000);
    if (!from) return std::nullopt;
    scope.from = static_cast<unsigned>(*from);
  }
  return scope;
}

std::string scopeText(const FaultScope& scope) {
  return kScopeWords[static_cast<int>(scope.command)] + (scope.from > 1 ? ":" + std::to_string(scope.from) : "");
}

// Picks one setting out of the options (const or not): `field`, or `inner` of `outer`.
template <class Value>
auto member(Value SimOptions::*field) {
  return [field](auto& options) -> auto& { return options.*field; };
}
template <class Outer, class Value>
auto member(Outer SimOptions::*outer, Value Outer::*inner) {
  return [outer, inner](auto& options) -> auto& { return options.*outer.*inner; };
}

// The option's value when `options` differs from the defaults in what `field` picks out.
template <class Field>
Values ifChanged(const SimOptions& options, Field field, const std::string& value) {
  return field(options) == field(kDefaults) ? Values{} : Values{value};
}

// A flag that sets what `field` picks out.
template <class Field>
SimOption flag(std::string_view name, Field field, std::string_view alias = {}) {
  return {name, alias, false,
          {[field](SimArguments& a, const std::string&) {
             field(a.options) = true;
             return true;
           },
           [field](const SimOptions& o) { return ifChanged(o, field, ""); }}};
}

// A whole number from `min` to `max` into what `field` picks out (a plain or optional number).
template <class Field>
SimOption number(std::string_view name, Field field, unsigned long min, unsigned long max) {
  return {name, "", true,
          {[field, min, max](SimArguments& a, const std::string& v) {
             const auto n = parseNumber(v, min, max);
             using Number = std::remove_reference_t<decltype(field(a.options))>;
             if constexpr (std::is_arithmetic_v<Number>) {
               if (n) field(a.options) = static_cast<Number>(*n);
             } else {
               if (n) field(a.options) = static_cast<typename Number::value_type>(*n);
             }
             return n.has_value();
           },
           [field](const SimOptions& o) {
             const auto& value = field(o);
             if constexpr (std::is_arithmetic_v<std::remove_cvref_t<decltype(value)>>) {
               return ifChanged(o, field, std::to_string(value));
             } else {
               return value ? Values{std::to_string(*value)} : Values{};
             }
           }}};
}

// A text into what `field` picks out.
template <class Field>
SimOption text(std::string_view name, Field field, bool mayBeEmpty) {
  return {name, "", true,
          {[field, mayBeEmpty](SimArguments& a, const std::string& v) {
             field(a.options) = v;
             return mayBeEmpty || !v.empty();
           },
           [field](const SimOptions& o) { return ifChanged(o, field, field(o)); }}};
}

std::vector<SimOption> makeTable() {
  return {
      {"--tcp", "", true,
       {[](SimArguments& a, const std::string& v) {
          const size_t colon = v.rfind(':');
          if (colon == std::string::npos) return false;
          const auto port = parseNumber(v.substr(colon + 1), 0, 65535);
          if (!port || colon == 0) return false;
          a.options.tcpHost = v.substr(0, colon);
          a.options.tcpPort = static_cast<uint16_t>(*port);
          a.tcpGiven = true;
          return true;
        },
        [](const SimOptions& o) {
          const bool named = o.tcpHost != kDefaults.tcpHost || o.tcpPort != kDefaults.tcpPort;
          return named || (o.serveTcp && !o.ptyLink.empty()) ? Values{o.tcpHost + ":" + std::to_string(o.tcpPort)}
                                                              : Values{};
        }}},
      text("--pty", member(&SimOptions::ptyLink), false),
      {"--address", "", true,
       {[](SimArguments& a, const std::string& v) {
          const auto n = parseNumber(v, 0, 255);
          std::vector<uint8_t>& addresses = a.options.addresses;
          if (!n || std::find(addresses.begin(), addresses.end(), *n) != addresses.end()) return false;
          addresses.push_back(static_cast<uint8_t>(*n));
          return true;
        },
        [](const SimOptions& o) {
          Values values;
          for (uint8_t address : o.addresses) values.push_back(std::to_string(address));
          return values;
        }}},
      text("--type", member(&SimOptions::typeString), true),
      text("--memory", member(&SimOptions::memoryFile), false),
      text("--state", member(&SimOptions::stateFile), false),
      text("--log", member(&SimOptions::logFile), false),
      flag("--quiet", member(&SimOptions::quiet)),
      flag("--silent", member(&SimOptions::faults, &Faults::silent)),
      number("--answer-from", member(&SimOptions::faults, &Faults::answerFromAttempt), 1, 1000),
      number("--silent-from-read", member(&SimOptions::faults, &Faults::silentFromRead), 1, 1000000),
      number("--silent-from-write", member(&SimOptions::faults, &Faults::silentFromWrite), 1, 1000000),
      number("--unconfirmed-from-write", member(&SimOptions::faults, &Faults::unconfirmedFromWrite), 1, 1000000),
      number("--type-padding", member(&SimOptions::faults, &Faults::typePadding), 0, 200),
      number("--noise", member(&SimOptions::faults, &Faults::noiseBytes), 0, 1000),
      flag("--stray-start", member(&SimOptions::faults, &Faults::strayStart)),
      flag("--bad-checksum", member(&SimOptions::faults, &Faults::badChecksum)),
      flag("--bad-complement", member(&SimOptions::faults, &Faults::badComplement)),
      number("--oversize-length", member(&SimOptions::faults, &Faults::oversizeLength), 71, 255),
      number("--read-length", member(&SimOptions::faults, &Faults::readLength), 0, 70),
      number("--chatter", member(&SimOptions::faults, &Faults::chatterBytes), 1, 100000),
      {"--write-answer", "", true,
       {[](SimArguments& a, const std::string& v) {
          if (v == "echo") {
            a.options.faults.echoWrites = true;
            return true;
          }
          const auto bytes = parseHex(v);
          if (!bytes || bytes->size() > 255) return false;
          a.options.faults.writeAnswer = *bytes;
          return true;
        },
        [](const SimOptions& o) {
          Values values;
          if (o.faults.echoWrites) values.push_back("echo");
          if (o.faults.writeAnswer) {
            std::string hex;
            for (uint8_t b : *o.faults.writeAnswer) hex += hexDigits(b, 2);
            values.push_back(hex);
          }
          return values;
        }}},
      {"--mangle-write", "", true,
       {[](SimArguments& a, const std::string& v) {
          a.options.faults.mangleAddress = parseAddress(v);
          return a.options.faults.mangleAddress.has_value();
        },
        [](const SimOptions& o) {
          const auto& at = o.faults.mangleAddress;
          return at ? Values{"0x" + hexDigits(*at, 4)} : Values{};
        }}},
      number("--delay", member(&SimOptions::timing, &LineTiming::delayMs), 0, 600000),
      number("--byte-gap", member(&SimOptions::timing, &LineTiming::byteGapMs), 0, 60000),
      {"--late-byte", "", true,
       {[](SimArguments& a, const std::string& v) {
          const size_t colon = v.find(':');
          if (colon == std::string::npos) return false;
          const auto index = parseNumber(v.substr(0, colon), 0, 100000);
          const auto ms = parseNumber(v.substr(colon + 1), 0, 600000);
          if (!index || !ms) return false;
          a.options.timing.lateByte = LineTiming::LateByte{static_cast<unsigned>(*index), static_cast<unsigned>(*ms)};
          return true;
        },
        [](const SimOptions& o) {
          const auto& late = o.timing.lateByte;
          return late ? Values{std::to_string(late->index) + ":" + std::to_string(late->ms)} : Values{};
        }}},
      number("--baud", member(&SimOptions::timing, &LineTiming::baud), 50, 4000000),
      flag("--strict-rate", member(&SimOptions::timing, &LineTiming::strictRate)),
      number("--drop-after", member(&SimOptions::timing, &LineTiming::dropAfterBytes), 0, 1000),
      {"--fault-scope", "", true,
       {[](SimArguments& a, const std::string& v) {
          const auto scope = parseScope(v);
          if (scope) a.options.faults.scope = *scope;
          return scope.has_value();
        },
        [](const SimOptions& o) {
          const FaultScope& scope = o.faults.scope;
          return scope.command == FaultScope::Command::Any ? Values{} : Values{scopeText(scope)};
        }}},
      flag("--help", member(&SimOptions::help), "-h"),
  };
}

}  // namespace

std::span<const SimOption> simOptionTable() {
  static const std::vector<SimOption> table = makeTable();
  return table;
}

Result<SimOptions> parseSimOptions(const std::vector<std::string>& arguments) {
  using Kind = Argument<SimOptionUse>::Kind;
  SimArguments read;
  const auto failed = [](std::string error) { return Failure{std::move(error)}; };
  for (const Argument<SimOptionUse>& arg : readCommandLine(arguments, simOptionTable(), false)) {
    const std::string name(arg.name), value(arg.value);
    switch (arg.kind) {
      case Kind::Word:  // never: every argument is an option
      case Kind::Unknown: return failed("unknown option " + std::string(arg.typed) + " (see --help)");
      case Kind::NeedsValue: return failed(name + " needs a value");
      case Kind::TakesNoValue: return failed(name + " takes no value");
      case Kind::Option:
        if (!arg.option->extra.apply(read, value)) {
          return failed("bad value for " + name + ": '" + value + "' (see --help)");
        }
        break;
    }
  }
  SimOptions& o = read.options;
  o.serveTcp = read.tcpGiven || o.ptyLink.empty();
  // Only a pseudo-terminal has a line rate, and only --baud gives the instrument one.
  if (o.timing.strictRate && (o.ptyLink.empty() || o.timing.baud == 0)) {
    return failed("--strict-rate needs --pty and --baud");
  }
  return o;
}

std::vector<std::string> simArguments(const SimOptions& options) {
  std::vector<std::string> arguments;
  for (const SimOption& option : simOptionTable()) {
    for (std::string& value : option.extra.values(options)) {
      arguments.emplace_back(option.name);
      if (option.takesValue) arguments.push_back(std::move(value));
    }
  }
  return arguments;
}

std::string simHelpText() {
  return R"(Usage: netsetup-sim [OPTION]...
Stands in for a VRN-207K instrument: answers identification, memory reads and memory writes
over TCP and/or a pseudo-terminal until SIGINT or SIGTERM. Several TCP clients are served at
once, each on its own connection to the same instrument memory, their requests applied in
arrival order; the transcript shows each connect and disconnect. The pseudo-terminal is one
line, opened by one client after another.

Where it listens (TCP on 127.0.0.1:10001 unless only --pty is given):
  --tcp HOST:PORT        listen on this IPv4 address only; port 0 picks a free port
  --pty LINK             serve a pseudo-terminal; LINK becomes a symlink to its slave device,
                         to be named in the tool's [Ports] section (e.g. COM1=/tmp/vrn)
The chosen endpoints are printed on standard output.

The instrument:
  --address N            network address (0..255, default 1); repeat for several instruments
                         on one line, each with its own memory; only the first answers address 0
  --type TEXT            type string (default VRN-207K)
  --memory FILE          start from a 65536-byte memory image instead of the default settings
  --state FILE           load memory from FILE when it exists and save it after every write
                         (with several instruments: FILE.<address> each)

Transcript (one line per frame: time, channel, direction, hex bytes, decoded summary):
  --log FILE             append it to FILE ("-": standard error, the default)
  --quiet                no transcript

Faults (combine freely; they apply to every instrument):
  --silent               never answer
  --answer-from K        answer a request only on its K-th identical attempt
  --silent-from-read N   no answer from the N-th read request on
  --silent-from-write N  no answer from the N-th write request on (nor is it stored)
  --unconfirmed-from-write N
                         from the N-th write request on, store it but never answer (a line
                         that breaks after the instrument took the chunk)
  --type-padding N       append N zero bytes to the type string
  --noise N              send N bytes of noise (never 0xAA) before each answer
  --stray-start          send a stray 0xAA before each answer
  --bad-checksum         answer checksum off by one
  --bad-complement       answer address complement wrong
  --oversize-length N    pad answer data to N bytes (71..255), over the 70 allowed
  --read-length N        answer reads with N data bytes (0..70), whatever count was asked
  --chatter N            instead of each answer send N bytes of noise (never 0xAA) and no
                         frame, as a line that chatters; a write is still stored
  --write-answer HEX     answer writes with these data bytes (e.g. 0102); "echo": the bytes
                         just stored; default: no data
  --mangle-write ADDRESS a write over memory ADDRESS (decimal or 0x hex) stores that byte
                         XOR 0x01 yet is answered as usual; only a read-back shows it
  --delay MS             wait MS milliseconds before each answer
  --byte-gap MS          wait MS milliseconds between answer bytes
  --baud RATE            pace answer bytes like a serial line at RATE (10 bits a byte)
  --strict-rate          with --pty and --baud: hear a client only while its line is set to
                         RATE; bytes at any other rate are noise, never answered
  --late-byte INDEX:MS   hold byte INDEX of each answer (0 is the first byte sent) back MS
                         milliseconds, as a line that stalls inside a frame
  --drop-after N         TCP: hang up after sending N bytes of an answer
  --fault-scope WHAT     which answers the faults that shape an answer (--answer-from,
                         --type-padding, --noise, --stray-start, --bad-checksum,
                         --bad-complement, --oversize-length, --read-length, --chatter) and
                         the timing faults (--delay, --byte-gap, --late-byte, --drop-after)
                         reach: all (the default), identify, read or write, each optionally
                         from its N-th request on, retries counted (read:3: the third read
                         request and every later one)

  -h, --help             show this text
      --version          show the program's name and version
)";
}

}  // namespace netsetup
