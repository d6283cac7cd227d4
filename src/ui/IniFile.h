#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace netsetup::ini {

// Private-profile (INI) files as the Windows profile service treats them: lines end at CR, LF or
// CRLF; names are trimmed and matched without regard to ASCII case; ';' starts a comment line;
// the first matching section and, inside it, the first matching key win. Texts are raw bytes.

inline constexpr std::size_t kMaxValueLength = 2047;

struct Entry {
  std::string key;    // as spelled in the file, trimmed
  std::string value;  // as a read returns it
};

// --- Pure text rules over the file's bytes ---

// The value of `key` in `section`, trimmed, one outer pair of matching quotes removed, cut to
// kMaxValueLength bytes; nullopt when the section or key is missing.
std::optional<std::string> findValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// Every key line of `section` in file order (duplicates included; the first one is the one a
// read sees). Empty when the section is missing.
std::vector<Entry> sectionEntries(std::string_view text, std::string_view section);

// `text` with `key` in `section` set to `value`: an existing key's line is rewritten in place
// (keeping its spelling and line ending), a new key goes after the section's last key line, a
// new section is appended at the end. Every other byte stays. Names must be valid (see below).
std::string setValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);

// Whether a write of these names and value could be read back as written: non-empty trimmed
// names, no line breaks anywhere, no ']' in the section, no '=' in the key, and a key that does
// not start like a header or a comment.
bool canWrite(std::string_view section, std::string_view key, std::string_view value);

// --- Files ---

// The whole file; nullopt when it is missing, not a regular file or unreadable.
std::optional<std::string> readFile(const std::string& path);

std::optional<std::string> readValue(const std::string& path, std::string_view section,
                                     std::string_view key);
std::vector<Entry> readSection(const std::string& path, std::string_view section);

// Sets one key and stores the file through "<file>.tmp" in the same folder, fsync and rename,
// keeping the original file's mode (and owner, where allowed); a symbolic link is written
// through. False on any failure, and then the original file is untouched.
bool writeValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value);

}  // namespace netsetup::ini
