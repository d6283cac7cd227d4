#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/Result.h"

namespace netsetup::ini {

// Private-profile (INI) files as the Windows profile service treats them: lines end at CR, LF or
// CRLF; names are trimmed and matched without regard to ASCII case; ';' starts a comment line;
// the first matching section and, inside it, the first matching key win. Texts are raw bytes.

inline constexpr std::size_t kMaxValueLength = 2047;

struct Entry {
  std::string key;    // as spelled in the file, trimmed
  std::string value;  // as a read returns it
  std::size_t line = 0;  // where it stands in the file, from 1, for messages
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

// --- The file's encoding ---

// A file is 8-bit text (Windows-1251 for this tool) unless it starts with a UTF-16 byte-order
// mark, which is how Notepad's "Unicode" saves it; the profile service reads and writes such a
// file in UTF-16, handing its values to 8-bit callers converted, '?' standing for what has no byte.
enum class FileEncoding { Bytes, Utf16Le, Utf16Be };

struct ProfileText {
  FileEncoding encoding = FileEncoding::Bytes;
  std::string text;  // the bytes; for a UTF-16 file its text in UTF-8, the mark left out
  std::string oddByte;  // a UTF-16 file's last byte when its length is odd, kept as it was
};

ProfileText decodeProfile(std::string_view fileBytes);
std::string encodeProfile(const ProfileText& profile);

// Reads and writes in 8-bit values, whatever the file's encoding.
std::optional<std::string> profileValue(const ProfileText& profile, std::string_view section,
                                        std::string_view key);
std::vector<Entry> profileSection(const ProfileText& profile, std::string_view section);
ProfileText withValue(ProfileText profile, std::string_view section, std::string_view key,
                      std::string_view value);

// --- Files ---

ProfileText readProfile(const std::string& path);  // empty when the file cannot be read

std::optional<std::string> readValue(const std::string& path, std::string_view section,
                                     std::string_view key);
std::vector<Entry> readSection(const std::string& path, std::string_view section);

// Sets one key and stores the file as files::updateFile does (atomically, never replacing a file
// the user may not write). On any failure the original file is untouched.
Result<void> writeValue(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace netsetup::ini
