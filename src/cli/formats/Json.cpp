#include "cli/formats/Json.h"

#include "text/Hex.h"
#include "text/Utf8.h"

namespace netsetup::cli {

namespace {

// Deep enough for any record of the tool; deeper input is refused, not followed.
constexpr int kMaxDepth = 16;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  Result<JsonValue> whole() {
    std::optional<JsonValue> value = read(0);
    skipBlanks();
    if (value && pos_ != text_.size()) return refuse("text after the value");
    if (!value) return refuse(error_);
    return std::move(*value);
  }

 private:
  Failure refuse(const std::string& what) const {
    return Failure{"not JSON at offset " + std::to_string(pos_) + ": " + what};
  }
  std::optional<JsonValue> fail(const char* what) {
    if (error_.empty()) error_ = what;
    return std::nullopt;
  }
  void skipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }
  bool literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  std::optional<JsonValue> read(int depth) {
    if (depth > kMaxDepth) return fail("nested too deep");
    skipBlanks();
    if (pos_ >= text_.size()) return fail("a value is missing");
    JsonValue value;
    const char c = text_[pos_];
    if (literal("null")) return value;
    if (literal("true") || literal("false")) {
      value.kind = JsonValue::Kind::Bool;
      value.boolean = c == 't';
      return value;
    }
    if (c == '"') {
      std::optional<std::string> text = string();
      if (!text) return std::nullopt;
      value.kind = JsonValue::Kind::String;
      value.text = std::move(*text);
      return value;
    }
    if (c == '[' || c == '{') return container(depth, c == '{');
    return number();
  }

  std::optional<JsonValue> number() {
    const size_t start = pos_;
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    const size_t digits = pos_;
    while (pos_ < text_.size() && std::string_view("0123456789.eE+-").find(text_[pos_]) != std::string_view::npos)
      ++pos_;
    if (pos_ == digits || text_[digits] < '0' || text_[digits] > '9') return fail("not a value");
    JsonValue value;
    value.kind = JsonValue::Kind::Number;
    value.text = std::string(text_.substr(start, pos_ - start));
    return value;
  }

  std::optional<std::string> string() {
    std::string out;
    for (++pos_; pos_ < text_.size();) {
      const char c = text_[pos_];
      if (c == '"') {
        ++pos_;
        return out;
      }
      if (static_cast<unsigned char>(c) < 0x20) return failText("a control character in a string");
      if (c != '\\') {
        out += c;
        ++pos_;
        continue;
      }
      if (++pos_ >= text_.size()) break;
      const char e = text_[pos_++];
      const std::string_view plain = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
      if (const size_t at = plain.find(e); at != std::string_view::npos) {
        out += meaning[at];
      } else if (e == 'u') {
        const std::optional<uint32_t> unit = pos_ + 4 <= text_.size() ? parseHexDigits(text_.substr(pos_, 4)) : std::nullopt;
        if (!unit) return failText("a broken \\u escape");
        pos_ += 4;
        appendUtf8(out, static_cast<char32_t>(*unit));  // the tool writes no surrogate pairs
      } else {
        return failText("an unknown escape");
      }
    }
    return failText("a string is not closed");
  }
  std::optional<std::string> failText(const char* what) {
    fail(what);
    return std::nullopt;
  }

  std::optional<JsonValue> container(int depth, bool object) {
    JsonValue value;
    value.kind = object ? JsonValue::Kind::Object : JsonValue::Kind::Array;
    const char close = object ? '}' : ']';
    ++pos_;
    skipBlanks();
    if (pos_ < text_.size() && text_[pos_] == close) {
      ++pos_;
      return value;
    }
    for (;;) {
      std::string key;
      if (object) {
        skipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != '"') return fail("a member has no name");
        std::optional<std::string> name = string();
        if (!name) return std::nullopt;
        key = std::move(*name);
        skipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != ':') return fail("a ':' is missing");
        ++pos_;
      }
      std::optional<JsonValue> item = read(depth + 1);
      if (!item) return std::nullopt;
      if (object) {
        value.members.push_back({std::move(key), std::move(*item)});
      } else {
        value.items.push_back(std::move(*item));
      }
      skipBlanks();
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == close) {
        ++pos_;
        return value;
      }
      return fail(object ? "a ',' or '}' is missing" : "a ',' or ']' is missing");
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::string error_;
};

}  // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
  if (kind != Kind::Object) return nullptr;
  for (const auto& [name, value] : members)
    if (name == key) return &value;
  return nullptr;
}

std::string JsonValue::textOf(std::string_view key) const {
  const JsonValue* member = find(key);
  return member && (member->kind == Kind::String || member->kind == Kind::Number) ? member->text : std::string();
}

Result<JsonValue> parseJson(std::string_view text) { return Reader(text).whole(); }

}  // namespace netsetup::cli
