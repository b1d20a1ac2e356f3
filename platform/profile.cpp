// platform/profile.cpp -- INI files on POSIX files, replaced atomically on every write.
#include "platform/profile.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <vector>

#include "base/seam.h"
#include "base/text.h"

namespace {

// One line of the file as it stands: its text without the line break, and the break itself
// ("\r\n", "\n", or empty for a last line without one).
struct Line {
  std::string text;
  std::string ending;
};

enum class LineKind { kBlank, kComment, kSection, kEntry };

// What a line means to a lookup.
struct ParsedLine {
  LineKind kind = LineKind::kBlank;
  std::string name;   // section or key name, trimmed
  std::string value;  // entry value, trimmed, quotes kept
};

bool IsBlankByte(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// Trail bytes of GBK are 0x40 or above, so trimming these low bytes never splits a character.
std::string Trim(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlankByte(text[begin])) ++begin;
  while (end > begin && IsBlankByte(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Byte index of the first ']' that is a character of its own, or npos. The byte 0x5D can be
// the second byte of a two-byte character.
std::size_t FindClosingBracket(const std::string& text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); i += CharLengthAt(text, i)) {
    if (text[i] == ']') return i;
  }
  return std::string::npos;
}

ParsedLine ParseLine(const std::string& text) {
  ParsedLine parsed;
  std::string trimmed = Trim(text);
  if (trimmed.empty()) return parsed;
  if (trimmed[0] == ';' || trimmed[0] == '#') {
    parsed.kind = LineKind::kComment;
  } else if (trimmed[0] == '[') {
    parsed.kind = LineKind::kSection;
    std::size_t close = FindClosingBracket(trimmed, 1);
    parsed.name =
        Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  } else {
    // '=' (0x3D) is never the second byte of a GBK character.
    parsed.kind = LineKind::kEntry;
    std::size_t equals = trimmed.find('=');
    parsed.name = Trim(trimmed.substr(0, equals));
    if (equals != std::string::npos) parsed.value = Trim(trimmed.substr(equals + 1));
  }
  return parsed;
}

std::vector<Line> SplitLines(const std::string& content) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t newline = content.find('\n', start);
    if (newline == std::string::npos) {
      lines.push_back({content.substr(start), ""});
      break;
    }
    std::size_t end = newline;
    std::string ending = "\n";
    if (end > start && content[end - 1] == '\r') {
      --end;
      ending = "\r\n";
    }
    lines.push_back({content.substr(start, end - start), ending});
    start = newline + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
  std::string content;
  for (const Line& line : lines) content += line.text + line.ending;
  return content;
}

// The line break the file already uses, or "\n" for a file that has none yet.
std::string FileLineEnding(const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (!line.ending.empty()) return line.ending;
  }
  return "\n";
}

std::string StripMatchingQuotes(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The longest prefix of whole characters that fits in limit bytes.
std::string CutToLimit(const std::string& value, std::size_t limit) {
  if (value.size() <= limit) return value;
  std::size_t end = 0;
  while (end < value.size()) {
    std::size_t next = end + CharLengthAt(value, end);
    if (next > limit) break;
    end = next;
  }
  return value.substr(0, end);
}

// The whole file, nullopt when it does not exist, and an error when it exists but cannot
// be read (a write must then not replace it).
struct FileContent {
  bool readable = true;
  std::optional<std::string> content;
};

FileContent ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {errno == ENOENT, std::nullopt};
  std::string content;
  char buffer[16384];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return {false, std::nullopt};
    }
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return {true, std::move(content)};
}

bool WriteAll(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    ssize_t put = ::write(fd, content.data() + done, content.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A settings file kept elsewhere through a symbolic link stays a link: its target is the
// file that gets replaced.
std::string ResolvedTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// Writes content to a fresh file beside path and renames it over path, so that readers and
// a later start see either the old file or the new one, never a part of either.
bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
  std::string temporary = path + ".XXXXXX";
  int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
  written = (::close(fd) == 0) && written;
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable; the file is already complete either way.
  int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

bool HasLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

// The part of an entry line that a new value follows: everything up to the '=' and the
// blanks after it, or the whole line and a '=' when it has none.
std::string EntryPrefix(const std::string& text) {
  std::size_t equals = text.find('=');
  if (equals == std::string::npos) return text + "=";
  std::size_t valueStart = equals + 1;
  while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t')) {
    ++valueStart;
  }
  return text.substr(0, valueStart);
}

// Sets key in section to value within lines: the existing entry's line keeps everything up to
// its '=', or a new entry line is added.
void SetEntry(std::vector<Line>& lines, const std::string& section, const std::string& key,
              const std::string& value) {
  // The first section of that name holding the key wins, as for a read.
  std::optional<std::size_t> firstSectionEnd;  // index after the section's last visible line
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ParsedLine parsed = ParseLine(lines[i].text);
    if (parsed.kind == LineKind::kSection) {
      inSection = EqualsIgnoreCase(parsed.name, section);
      if (inSection && !firstSectionEnd) firstSectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (parsed.kind == LineKind::kEntry && EqualsIgnoreCase(parsed.name, key)) {
      lines[i].text = EntryPrefix(lines[i].text) + value;
      return;
    }
  }

  std::string ending = FileLineEnding(lines);
  if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = ending;
  std::string entry = key + "=" + value;
  if (!firstSectionEnd) {
    lines.push_back({"[" + section + "]", ending});
    lines.push_back({entry, ending});
    return;
  }
  // A new key goes after the last visible line of the first section of that name, so the
  // blank lines that set the next section apart stay where they are.
  std::size_t insertAt = *firstSectionEnd;
  for (std::size_t i = *firstSectionEnd; i < lines.size(); ++i) {
    ParsedLine parsed = ParseLine(lines[i].text);
    if (parsed.kind == LineKind::kSection) break;
    if (parsed.kind != LineKind::kBlank) insertAt = i + 1;
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{entry, ending});
}

// Serialises the read-modify-write of every write in this process.
std::mutex writeMutex;

Seam<std::function<std::string()>> folderSeam;

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] != '\0') return home;
  struct passwd entry {};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && found->pw_dir[0] != '\0') {
    return found->pw_dir;
  }
  return {};
}

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

// Creates every missing folder on the way to folder, each with mode 0700.
void CreateFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
    if (slash == std::string::npos) return;
  }
}

}  // namespace

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue) {
  FileContent file = ReadWholeFile(path);
  if (!file.content) return defaultValue;
  bool inSection = false;
  for (const Line& line : SplitLines(*file.content)) {
    ParsedLine parsed = ParseLine(line.text);
    if (parsed.kind == LineKind::kSection) {
      inSection = EqualsIgnoreCase(parsed.name, section);
    } else if (inSection && parsed.kind == LineKind::kEntry && EqualsIgnoreCase(parsed.name, key)) {
      return CutToLimit(StripMatchingQuotes(parsed.value), kProfileValueLimit);
    }
  }
  return defaultValue;
}

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  std::string trimmedKey = Trim(key);
  std::string trimmedSection = Trim(section);
  if (path.empty() || trimmedKey.empty() || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value) || key.find('=') != std::string::npos ||
      FindClosingBracket(section, 0) != std::string::npos) {
    return false;
  }
  std::lock_guard<std::mutex> lock(writeMutex);
  std::string target = ResolvedTarget(path);
  FileContent file = ReadWholeFile(target);
  if (!file.readable) return false;
  std::vector<Line> lines = SplitLines(file.content.value_or(""));
  SetEntry(lines, trimmedSection, trimmedKey, value);
  std::string content = JoinLines(lines);
  if (file.content && content == *file.content) return true;
  return ReplaceFileAtomically(target, content);
}

std::string SettingsFolder() {
  if (auto seam = folderSeam.Get()) return seam();
  std::string folder;
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome && configHome[0] == '/') {
    folder = configHome;
  } else {
    std::string home = HomeFolder();
    if (home.empty()) return {};
    folder = WithoutTrailingSlashes(home) + "/.config";
  }
  folder = WithoutTrailingSlashes(folder);
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) CreateFolders(folder);
  return folder;
}

void SetSettingsFolderForTest(std::function<std::string()> folder) {
  folderSeam.Set(std::move(folder));
}
