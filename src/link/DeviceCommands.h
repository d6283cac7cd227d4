#pragma once
#include <cstdint>

namespace netsetup {

// The instrument's three commands: the group and command bytes of a request (frame bytes 3, 4).
inline constexpr uint8_t kGroupIdentify = 0x00, kCodeIdentify = 0x00;
inline constexpr uint8_t kGroupRead = 0x0F, kCodeRead = 0x01;
inline constexpr uint8_t kGroupWrite = 0x0A, kCodeWrite = 0x42;

}  // namespace netsetup
