#include "link/DeviceInfo.h"

#include <algorithm>

namespace netsetup {

std::string adapterName(std::string_view name) {
  for (std::string_view bus : {"usb-", "pci-", "platform-"}) {
    if (name.substr(0, bus.size()) == bus) {
      name.remove_prefix(bus.size());
      break;
    }
  }
  // "-if00-port0": which interface and port of the adapter, not part of its name.
  if (const size_t cut = name.rfind("-if"); cut != std::string_view::npos && cut > 0) name = name.substr(0, cut);
  std::string text(name);
  std::replace(text.begin(), text.end(), '_', ' ');
  return text;
}

}  // namespace netsetup
