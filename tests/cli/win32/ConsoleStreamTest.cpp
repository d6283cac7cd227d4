#include "cli/console/win32/ConsoleStream.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace netsetup::cli {
namespace {

struct Writes {
  std::vector<std::wstring> wide;
  std::vector<std::string> bytes;
  DWORD failWith = 0;
};

ConsoleStream streamTo(bool console, Writes& writes) {
  return ConsoleStream(
      console,
      [&writes](std::wstring_view text) {
        writes.wide.emplace_back(text);
        return writes.failWith;
      },
      [&writes](std::string_view bytes) {
        writes.bytes.emplace_back(bytes);
        return writes.failWith;
      });
}

// "сервер.рф" in UTF-8, cut inside its first letter by the first piece.
const std::string kServer = "\xD1\x81\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB5\xD1\x80.\xD1\x80\xD1\x84";

TEST(ConsoleStream, AConsoleGetsWholeCharactersAsUtf16AndAFileGetsTheBytes) {
  struct Row {
    bool console;
    std::vector<std::string> pieces;  // written one after another, then flushed
    std::vector<std::wstring> wide;
    std::vector<std::string> bytes;
  };
  const std::vector<Row> rows = {
      {true, {"server " + kServer + "\n"}, {L"server \u0441\u0435\u0440\u0432\u0435\u0440.\u0440\u0444\n"}, {}},
      // A letter cut between two writes waits for its second byte; nothing half goes out.
      {true, {"\xD1", "\x81\n"}, {L"\u0441\n"}, {}},
      {true, {kServer.substr(0, 1), kServer.substr(1) + "\n"}, {L"\u0441\u0435\u0440\u0432\u0435\u0440.\u0440\u0444\n"}, {}},
      // Without a line's end the text waits for the flush.
      {true, {"no end"}, {L"no end"}, {}},
      {false, {kServer + "\n"}, {}, {kServer + "\n"}},
      {false, {"\xD1", "\x81\n"}, {}, {"\xD1\x81\n"}},
  };
  for (const auto& row : rows) {
    Writes writes;
    ConsoleStream stream = streamTo(row.console, writes);
    std::ostream out(&stream);
    for (const auto& piece : row.pieces) out << piece;
    out.flush();
    EXPECT_EQ(writes.wide, row.wide) << row.pieces.front();
    EXPECT_EQ(writes.bytes, row.bytes) << row.pieces.front();
    EXPECT_EQ(stream.error(), 0u);
  }
}

TEST(ConsoleStream, AFailedWriteIsKeptAndStopsTheRest) {
  for (bool console : {true, false}) {
    Writes writes;
    writes.failWith = ERROR_NO_DATA;  // a pipe whose reader has gone
    ConsoleStream stream = streamTo(console, writes);
    std::ostream out(&stream);
    out << "first\n";
    EXPECT_EQ(stream.error(), DWORD{ERROR_NO_DATA});
    out.clear();
    out << "second\n" << std::flush;
    EXPECT_EQ(writes.wide.size() + writes.bytes.size(), 1u) << console;
    EXPECT_EQ(stream.error(), DWORD{ERROR_NO_DATA});
  }
}

// Ctrl+C and Ctrl+Break ask the tool to stop at its next exchange; a closed console is the
// system's to end.
TEST(ConsoleStream, ControlEventsCountOnlyTheStopKeys) {
  std::atomic<unsigned> interrupts{0};
  EXPECT_TRUE(onConsoleEvent(CTRL_C_EVENT, interrupts));
  EXPECT_TRUE(onConsoleEvent(CTRL_BREAK_EVENT, interrupts));
  EXPECT_FALSE(onConsoleEvent(CTRL_CLOSE_EVENT, interrupts));
  EXPECT_FALSE(onConsoleEvent(CTRL_SHUTDOWN_EVENT, interrupts));
  EXPECT_EQ(interrupts.load(), 2u);
}

}  // namespace
}  // namespace netsetup::cli
