#include "cli/session/WriteOutcome.h"

#include <algorithm>

#include "cli/formats/FieldNames.h"

namespace netsetup::cli {

namespace {

// The part of the area a byte belongs to: its field, or the byte alone.
struct Part {
  std::string name;
  size_t offset, size;
};

Part partAt(size_t offset) {
  for (const FieldInfo& field : kFieldTable)
    if (offset >= field.offset && offset < field.offset + field.size) return {std::string(field.name), field.offset, field.size};
  return {"byte " + std::to_string(offset), offset, 1};
}

bool same(const SettingsArea& a, const SettingsArea& b, const Part& part) {
  return std::equal(a.begin() + part.offset, a.begin() + part.offset + part.size, b.begin() + part.offset);
}

// Each part in which `a` and `b` differ within bytes 0..count-1, once, in area order.
std::vector<Part> differing(const SettingsArea& a, const SettingsArea& b, size_t count) {
  std::vector<Part> parts;
  for (size_t i = 0; i < count; ++i) {
    if (a[i] == b[i] || (!parts.empty() && i < parts.back().offset + parts.back().size)) continue;
    parts.push_back(partAt(i));
  }
  return parts;
}

}  // namespace

std::vector<std::string> differingParts(const SettingsArea& a, const SettingsArea& b, size_t count) {
  std::vector<std::string> names;
  for (const Part& part : differing(a, b, count)) names.push_back(part.name);
  return names;
}

std::vector<std::string> WriteOutcome::toChange() const { return differingParts(before, wanted, kWrittenAreaSize); }

WriteOutcome::Fates WriteOutcome::fates() const {
  Fates fates;
  for (const Part& part : differing(before, wanted, kWrittenAreaSize)) {
    bool known = true;
    for (size_t i = part.offset; i < part.offset + part.size; ++i) known = known && held.known(i);
    if (!known) {
      fates.unknown.push_back(part.name);
    } else if (same(held.bytes(), wanted, part)) {
      fates.written.push_back(part.name);
    } else if (same(held.bytes(), before, part)) {
      fates.notWritten.push_back(part.name);
    } else {
      fates.otherwise.push_back(part.name);
    }
  }
  return fates;
}

}  // namespace netsetup::cli
