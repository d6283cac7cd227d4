#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/Result.h"

namespace netsetup::cli {

// A JSON value as the tool's own records hold them (the log of writes): enough to read back
// what it wrote, nothing more. Numbers are kept as their text.
struct JsonMember;

struct JsonValue {
  enum class Kind { Null, Bool, Number, String, Array, Object };
  Kind kind = Kind::Null;
  bool boolean = false;
  std::string text;  // a number's digits, or a string's value
  std::vector<JsonValue> items;                             // Array
  // A pair's second half would need JsonValue complete here, which clang's libstdc++ refuses.
  std::vector<JsonMember> members;  // Object, in order

  // The member `key` of an object; nullptr when absent or not an object.
  const JsonValue* find(std::string_view key) const;
  // A string member's value, or a number's text; empty otherwise.
  std::string textOf(std::string_view key) const;
};

struct JsonMember {
  std::string key;
  JsonValue value;
};

// One JSON value filling `text` (blanks around it allowed). A refusal names the offset.
Result<JsonValue> parseJson(std::string_view text);

}  // namespace netsetup::cli
