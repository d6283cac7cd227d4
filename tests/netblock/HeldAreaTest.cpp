#include <gtest/gtest.h>

#include "netblock/HeldArea.h"

namespace netsetup {
namespace {

// Before: every byte 0x00. Sent: every byte 0x11, except the server port's, which stays as it was.
struct Write {
  SettingsArea before{}, sent{};
  Write() {
    sent.fill(0x11);
    sent[kServerPortOffset] = sent[kServerPortOffset + 1] = 0;
  }
};

TransferFailure failedAt(int chunk, bool interrupted) {
  return {.failedChunk = chunk, .status = interrupted ? StatusOk : ErrTimeout, .interrupted = interrupted};
}

// Each field's fate by where the write stopped: the IP address lies in chunk 1, the server port
// too (unchanged), the access point name across chunks 2 and 3 (bytes 75..106), the login in
// chunk 4 and the password across chunks 4 and 5.
TEST(HeldArea, FieldsAreKnownOnlyWhereTheWriteLeavesNoDoubt) {
  struct Case {
    const char* name;
    TransferResult result;
    bool ipKnown, apnKnown, loginKnown, passwordKnown;
    uint8_t ip, apn, login;  // the first byte held, where known
    bool changed;
  };
  const Case cases[] = {
      {"every chunk confirmed", TransferResult{}, true, true, true, true, 0x11, 0x11, 0x11, true},
      {"chunk 3 sent, not confirmed", failedAt(2, false), true, false, true, true, 0x11, 0, 0, true},
      {"chunk 2 sent, not confirmed", failedAt(1, false), true, false, true, true, 0x11, 0, 0, true},
      {"chunk 4 sent, not confirmed", failedAt(3, false), true, true, false, false, 0x11, 0x11, 0, true},
      // Stopped on a second Ctrl+C: the name is half new, half old, and known so.
      {"stopped before chunk 3", failedAt(2, true), true, true, true, true, 0x11, 0x11, 0, true},
      {"stopped before anything was sent", failedAt(0, true), true, true, true, true, 0, 0, 0, false},
      {"chunk 1 sent, not confirmed", failedAt(0, false), false, true, true, true, 0, 0, 0, false},
  };
  const Write w;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HeldArea held = HeldArea::afterWrite(w.before, w.sent, c.result);
    EXPECT_EQ(held.known(SettingsField::IpAddress), c.ipKnown);
    EXPECT_TRUE(held.known(SettingsField::ServerPort));  // the same bytes either way
    EXPECT_EQ(held.known(SettingsField::ApnName), c.apnKnown);
    EXPECT_EQ(held.known(SettingsField::ApnLogin), c.loginKnown);
    EXPECT_EQ(held.known(SettingsField::ApnPassword), c.passwordKnown);
    if (c.ipKnown) {
      EXPECT_EQ(held.bytes()[kIpAddressOffset], c.ip);
    }
    if (c.apnKnown) {
      EXPECT_EQ(held.bytes()[kApnNameOffset], c.apn);
    }
    if (c.loginKnown) {
      EXPECT_EQ(held.bytes()[kApnLoginOffset], c.login);
    }
    EXPECT_EQ(held.differsFrom(w.before), c.changed);
    EXPECT_EQ(held.bytes()[kSettingsAreaSize - 1], 0) << "bytes 195..199 are never written";
  }
}

TEST(HeldArea, ReadingBackMakesEveryByteKnown) {
  const Write w;
  const HeldArea held = HeldArea::asRead(w.sent);
  EXPECT_TRUE(held.known(SettingsField::ApnPassword));
  EXPECT_EQ(held.bytes(), w.sent);
  EXPECT_FALSE(HeldArea::asRead(w.before).differsFrom(w.before));
}

}  // namespace
}  // namespace netsetup
