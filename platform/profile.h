// platform/profile.h -- INI settings files, read and written the way private-profile files are.
//
// Texts are GBK bytes; paths are the file system's own bytes. Section and key names match
// without regard to ASCII case, and spaces and tabs around names and values do not count.
// Lines whose first visible character is ';' or '#' are comments. Failures are silent: a
// read gives the default, a write leaves the file as it was and returns false.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// The largest value a read returns, in bytes: the reader's buffer of 10,240 bytes keeps one
// byte for its terminating zero.
inline constexpr std::size_t kProfileValueLimit = 10239;

// The value of key in section, or defaultValue when the file, the section or the key is
// missing. A value wrapped in matching single or double quotes loses them; a longer value
// is cut to kProfileValueLimit bytes, never inside a two-byte character.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue = "");

// Sets key in section to value ("key=" for the empty text). An existing key keeps its line
// and its spelling; a new key goes at the end of its section, a new section at the end of
// the file. Everything else in the file stays byte for byte, line endings included. The
// new content replaces the file atomically (a temporary file in the same folder, renamed
// over it), so a failure at any point leaves the old file whole. Names or a value holding
// a line break, a key holding '=' and a section holding ']' are refused.
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

// The per-user settings folder: $XDG_CONFIG_HOME when it is an absolute path, otherwise
// ~/.config. A missing folder is created with mode 0700. Empty when no home folder is
// known. Never ends in a slash.
std::string SettingsFolder();

// Test seam: replaces SettingsFolder (an empty function restores the real one).
void SetSettingsFolderForTest(std::function<std::string()> folder);
