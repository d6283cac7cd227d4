#include "SimOptions.h"

#include "text/Hex.h"

#include <cctype>
#include <functional>
#include <map>
#include <optional>
#include <type_traits>

namespace netsetup {

namespace {

std::optional<unsigned long> parseNumber(const std::string& text, unsigned long min, unsigned long max) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  unsigned long value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
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

// "read", "write:3", "identify", "all": which answers the faults reach.
std::optional<FaultScope> parseScope(const std::string& text) {
  const size_t colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  FaultScope scope;
  if (kind == "all") {
    return colon == std::string::npos ? std::optional(scope) : std::nullopt;
  } else if (kind == "identify") {
    scope.command = FaultScope::Command::Identify;
  } else if (kind == "read") {
    scope.command = FaultScope::Command::Read;
  } else if (kind == "write") {
    scope.command = FaultScope::Command::Write;
  } else {
    return std::nullopt;
  }
  if (colon != std::string::npos) {
    const auto from = parseNumber(text.substr(colon + 1), 1, 1000000);
    if (!from) return std::nullopt;
    scope.from = static_cast<unsigned>(*from);
  }
  return scope;
}

}  // namespace

SimOptionsResult parseSimOptions(const std::vector<std::string>& arguments) {
  SimOptionsResult result;
  SimOptions& o = result.options;
  bool tcpGiven = false, ptyGiven = false;

  // Each value option: a setter that returns false when the value is not acceptable.
  using Setter = std::function<bool(const std::string&)>;
  auto number = [](auto& target, unsigned long min, unsigned long max) {
    return Setter([&target, min, max](const std::string& v) {
      const auto n = parseNumber(v, min, max);
      if (n) target = static_cast<std::remove_reference_t<decltype(target)>>(*n);
      return n.has_value();
    });
  };
  auto text = [](std::string& target, bool mayBeEmpty) {
    return Setter([&target, mayBeEmpty](const std::string& v) {
      target = v;
      return mayBeEmpty || !v.empty();
    });
  };
  const std::map<std::string, Setter> valued = {
      {"--tcp",
       [&](const std::string& v) {
         const size_t colon = v.rfind(':');
         if (colon == std::string::npos) return false;
         const auto port = parseNumber(v.substr(colon + 1), 0, 65535);
         if (!port || colon == 0) return false;
         o.tcpHost = v.substr(0, colon);
         o.tcpPort = static_cast<uint16_t>(*port);
         tcpGiven = true;
         return true;
       }},
      {"--pty",
       [&](const std::string& v) {
         o.ptyLink = v;
         ptyGiven = true;
         return !v.empty();
       }},
      {"--address",
       [&](const std::string& v) {
         const auto n = parseNumber(v, 0, 255);
         if (!n) return false;
         for (uint8_t a : o.addresses) {
           if (a == *n) return false;
         }
         o.addresses.push_back(static_cast<uint8_t>(*n));
         return true;
       }},
      {"--type", text(o.typeString, true)},
      {"--memory", text(o.memoryFile, false)},
      {"--state", text(o.stateFile, false)},
      {"--log", text(o.logFile, false)},
      {"--answer-from", number(o.faults.answerFromAttempt, 1, 1000)},
      {"--silent-from-read", number(o.faults.silentFromRead, 1, 1000000)},
      {"--silent-from-write", number(o.faults.silentFromWrite, 1, 1000000)},
      {"--unconfirmed-from-write", number(o.faults.unconfirmedFromWrite, 1, 1000000)},
      {"--type-padding", number(o.faults.typePadding, 0, 200)},
      {"--noise", number(o.faults.noiseBytes, 0, 1000)},
      {"--oversize-length", number(o.faults.oversizeLength, 71, 255)},
      {"--read-length",
       [&](const std::string& v) {
         const auto n = parseNumber(v, 0, 70);
         if (n) o.faults.readLength = static_cast<uint8_t>(*n);
         return n.has_value();
       }},
      {"--chatter", number(o.faults.chatterBytes, 1, 100000)},
      {"--fault-scope",
       [&](const std::string& v) {
         const auto scope = parseScope(v);
         if (scope) o.faults.scope = *scope;
         return scope.has_value();
       }},
      {"--write-answer",
       [&](const std::string& v) {
         if (v == "echo") {
           o.faults.echoWrites = true;
           return true;
         }
         const auto bytes = parseHex(v);
         if (!bytes || bytes->size() > 255) return false;
         o.faults.writeAnswer = *bytes;
         return true;
       }},
      {"--mangle-write",
       [&](const std::string& v) {
         o.faults.mangleAddress = parseAddress(v);
         return o.faults.mangleAddress.has_value();
       }},
      {"--delay", number(o.timing.delayMs, 0, 600000)},
      {"--byte-gap", number(o.timing.byteGapMs, 0, 60000)},
      {"--baud", number(o.timing.baud, 50, 4000000)},
      {"--late-byte",
       [&](const std::string& v) {
         const size_t colon = v.find(':');
         if (colon == std::string::npos) return false;
         const auto index = parseNumber(v.substr(0, colon), 0, 100000);
         const auto ms = parseNumber(v.substr(colon + 1), 0, 600000);
         if (!index || !ms) return false;
         o.timing.lateByte = LineTiming::LateByte{static_cast<unsigned>(*index), static_cast<unsigned>(*ms)};
         return true;
       }},
      {"--drop-after",
       [&](const std::string& v) {
         const auto n = parseNumber(v, 0, 1000);
         if (n) o.timing.dropAfterBytes = static_cast<unsigned>(*n);
         return n.has_value();
       }},
  };
  const std::map<std::string, bool*> flags = {
      {"--help", &o.help},
      {"-h", &o.help},
      {"--quiet", &o.quiet},
      {"--silent", &o.faults.silent},
      {"--stray-start", &o.faults.strayStart},
      {"--bad-checksum", &o.faults.badChecksum},
      {"--bad-complement", &o.faults.badComplement},
      {"--strict-rate", &o.timing.strictRate},
  };

  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::optional<std::string> value;
    if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if (const auto flag = flags.find(name); flag != flags.end()) {
      if (value) {
        result.error = name + " takes no value";
        return result;
      }
      *flag->second = true;
      continue;
    }
    const auto option = valued.find(name);
    if (option == valued.end()) {
      result.error = "unknown option " + arguments[i] + " (see --help)";
      return result;
    }
    if (!value) {
      if (i + 1 >= arguments.size()) {
        result.error = name + " needs a value";
        return result;
      }
      value = arguments[++i];
    }
    if (!option->second(*value)) {
      result.error = "bad value for " + name + ": '" + *value + "' (see --help)";
      return result;
    }
  }
  o.serveTcp = tcpGiven || !ptyGiven;
  // Only a pseudo-terminal has a line rate, and only --baud gives the instrument one.
  if (o.timing.strictRate && (!ptyGiven || o.timing.baud == 0))
    result.error = "--strict-rate needs --pty and --baud";
  return result;
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
