#include "link/DeviceInfo.h"

#include <gtest/gtest.h>

#include "link/AdapterLatency.h"

namespace netsetup {
namespace {

TEST(DeviceInfo, AdapterNamesFromStableDeviceNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "FTDI FT232R USB UART A50285BI"},
      {"usb-1a86_USB_Serial-if00-port0", "1a86 USB Serial"},
      {"usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0", "Prolific Technology Inc. USB-Serial Controller"},
      {"pci-0000:00:16.3", "0000:00:16.3"},
      {"usb-Silicon_Labs_CP2102", "Silicon Labs CP2102"},
  };
  for (auto [name, adapter] : cases) EXPECT_EQ(adapterName(name), adapter) << name;
  EXPECT_NE(describeSerialDevice("/nonexistent/ttyUSB9", Language::English).find("not present"), std::string::npos);
}

// The advice shows only when the timer costs time: above 2 ms.
TEST(DeviceInfo, AdapterLatencyForTheTraceAndThePortList) {
  using enum AdapterLatency::LowLatency;
  const std::string advice = ": lower it to 1-2 ms in Device Manager > Port Settings > Advanced for faster reads";
  const std::pair<AdapterLatency, std::string> cases[] = {
      {{On, {}}, "low latency: on"},
      {{NotSupported, {}}, "low latency: not supported by this device"},
      {{NotAsked, 16}, "latency timer 16 ms" + advice},
      {{NotAsked, 3}, "latency timer 3 ms" + advice},
      {{NotAsked, 2}, "latency timer 2 ms"},
      {{NotAsked, {}}, "latency timer: none kept by this port's driver"},
  };
  for (const auto& [latency, text] : cases) EXPECT_EQ(adapterLatencyText(latency), text);
}

}  // namespace
}  // namespace netsetup
