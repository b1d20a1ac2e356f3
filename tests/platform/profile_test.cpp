// tests/platform/profile_test.cpp -- INI reads and writes, atomic replacement, settings folder.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/codepage.h"
#include "platform/profile.h"

namespace {

namespace fs = std::filesystem;

std::string G(const std::string& utf8) {
  return Utf8ToGbkText(utf8);
}

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tallyrune-profile-XXXXXX").string();
    folder = ::mkdtemp(pattern.data());
    file = (folder / "syst.tb").string();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, ignored);
    fs::remove_all(folder, ignored);
  }
  void Put(const std::string& content) { std::ofstream(file, std::ios::binary) << content; }
  std::string Content() const {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename());
    }
    return names;
  }

  fs::path folder;
  std::string file;
};

TEST_F(Profile, ReadsAsPrivateProfileFilesDo) {
  const std::string big20000(20000, 'a');
  std::string wide20000;
  for (int i = 0; i < 10000; ++i) wide20000 += G("大");
  const struct {
    const char* what;
    std::string content;
    std::string section;
    std::string key;
    std::string expected;  // "<default>" when nothing is found
  } cases[] = {
      {"plain", "[s]\nk=v\n", "s", "k", "v"},
      {"names ignore ASCII case", "[Plans]\nMyKey=v\n", "pLANS", "mykey", "v"},
      {"spaces trimmed", "  [ s ]  \n \t k  =  v  w \t\n", "s", "k", "v  w"},
      {"double quotes", "[s]\nk= \"  v \" \n", "s", "k", "  v "},
      {"single quotes", "[s]\nk='v'\n", "s", "k", "v"},
      {"unmatched quotes stay", "[s]\nk=\"v'\n", "s", "k", "\"v'"},
      {"a lone quote stays", "[s]\nk=\"\n", "s", "k", "\""},
      {"empty value", "[s]\nk=\n", "s", "k", ""},
      {"CR LF", "[s]\r\nk=v\r\nj=w\r\n", "s", "j", "w"},
      {"no line break at the end", "[s]\nk=v", "s", "k", "v"},
      {"key in another section", "[a]\nk=1\n[b]\nk=2\n", "b", "k", "2"},
      {"section missing", "[a]\nk=1\n", "b", "k", "<default>"},
      {"key missing", "[a]\nk=1\n", "a", "j", "<default>"},
      {"key before any section", "k=1\n[a]\n", "a", "k", "<default>"},
      {"first of two", "[a]\nk=1\nk=2\n", "a", "k", "1"},
      {"comment is no key", "[a]\n;k=1\n#k=2\n", "a", ";k", "<default>"},
      {"value holds '='", "[a]\nk=x=y\n", "a", "k", "x=y"},
      {"GBK names", G("[计划]\n个位正则大小=大小\n"), G("计划"), G("个位正则大小"), G("大小")},
      // 0x5D (']') and 0x41 ('A') as second bytes of two-byte characters.
      {"bracket as second byte", "[\xB0\x5D]\nk=v\n", "\xB0\x5D", "k", "v"},
      {"no folding of second bytes", "[s]\n\x81\x41=v\n", "s", "\x81\x61", "<default>"},
      {"not valid GBK", "\x80\n[s]\nk=\xFF\x80\xFE\n\x80\n", "s", "k", "\xFF\x80\xFE"},
      {"a lead byte before ']'", "[s\x81]\nk=v\n", "s\x81]", "k", "v"},
      {"20,000 bytes cut to 10,239", "[s]\nk=" + big20000 + "\n", "s", "k",
       big20000.substr(0, 10239)},
      {"never inside a character", "[s]\nk=" + wide20000 + "\n", "s", "k",
       wide20000.substr(0, 10238)},
  };
  for (const auto& c : cases) {
    Put(c.content);
    EXPECT_EQ(ReadProfileString(file, c.section, c.key, "<default>"), c.expected) << c.what;
  }
  fs::remove(file);
  EXPECT_EQ(ReadProfileString(file, "s", "k", "<default>"), "<default>");
  EXPECT_EQ(ReadProfileString(file, "s", "k"), "");
}

TEST_F(Profile, WritesChangeOnlyTheirOwnLine) {
  const struct {
    const char* what;
    std::optional<std::string> before;  // nullopt: no file
    std::string section;
    std::string key;
    std::string value;
    std::string after;
  } cases[] = {
      {"new file", std::nullopt, "s", "k", "v", "[s]\nk=v\n"},
      {"empty text", std::nullopt, "s", "k", "", "[s]\nk=\n"},
      {"replace keeps spelling and spacing", "[S]\n  Key = old ; x\nz=1\n", "s", "KEY", "new",
       "[S]\n  Key = new\nz=1\n"},
      {"CR LF kept, other sections kept", "; top\r\n[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\n", "b", "k",
       "3", "; top\r\n[a]\r\nk=1\r\n\r\n[b]\r\nk=3\r\n"},
      {"new key at the end of its section", "[a]\nk=1\n; note\n\n[b]\nk=2\n", "a", "j", "",
       "[a]\nk=1\n; note\nj=\n\n[b]\nk=2\n"},
      {"new key in a CR LF file", "[a]\r\nk=1\r\n", "a", "j", "2", "[a]\r\nk=1\r\nj=2\r\n"},
      {"new section at the end", "[a]\nk=1", "b", "k", "2", "[a]\nk=1\n[b]\nk=2\n"},
      {"a key without '='", "[a]\nk\n", "a", "k", "v", "[a]\nk=v\n"},
      {"not valid GBK around it", "\xFF\xFE\n[a]\nk=\x80\n", "a", "k", "v", "\xFF\xFE\n[a]\nk=v\n"},
      {"same value: file unchanged", "[a]\r\nk=v", "a", "k", "v", "[a]\r\nk=v"},
  };
  for (const auto& c : cases) {
    fs::remove(file);
    if (c.before) Put(*c.before);
    EXPECT_TRUE(WriteProfileString(file, c.section, c.key, c.value)) << c.what;
    EXPECT_EQ(Content(), c.after) << c.what;
    EXPECT_EQ(ReadProfileString(file, c.section, c.key, "<default>"), c.value) << c.what;
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"syst.tb"}) << c.what;  // no leftovers
  }
}

TEST_F(Profile, UnsafeOrImpossibleWritesChangeNothing) {
  Put("[a]\nk=1\n");
  EXPECT_FALSE(WriteProfileString(file, "a", "k", "1\n[b]\nx=2"));
  EXPECT_FALSE(WriteProfileString(file, "a", "k\r", "1"));
  EXPECT_FALSE(WriteProfileString(file, "a", "k=j", "1"));
  EXPECT_FALSE(WriteProfileString(file, "a]", "k", "1"));
  EXPECT_FALSE(WriteProfileString(file, "a", " ", "1"));
  EXPECT_EQ(Content(), "[a]\nk=1\n");

  // A folder that does not exist, and a path that is a folder.
  EXPECT_FALSE(WriteProfileString((folder / "missing" / "syst.tb").string(), "a", "k", "1"));
  EXPECT_FALSE(WriteProfileString(folder.string(), "a", "k", "1"));
  EXPECT_FALSE(fs::exists(folder / "missing"));
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"syst.tb"});
}

TEST_F(Profile, ReplacementKeepsTheFilesModeAndItsLink) {
  Put("[a]\nk=1\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::path link = folder / "link.tb";
  fs::create_symlink(file, link);

  ASSERT_TRUE(WriteProfileString(link.string(), "a", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Content(), "[a]\nk=2\n");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// The folder comes from the environment; each case sets it and puts it back.
class SettingsFolderTest : public Profile {
 protected:
  void SetUp() override {
    Profile::SetUp();
    for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    Profile::TearDown();
  }
  static unsigned Mode(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(SettingsFolderTest, FollowsTheXdgRulesAndCreatesWithMode0700) {
  ::setenv("HOME", (folder / "home").c_str(), 1);

  ::setenv("XDG_CONFIG_HOME", (folder / "xdg" / "conf").c_str(), 1);
  EXPECT_EQ(SettingsFolder(), (folder / "xdg" / "conf").string());
  EXPECT_EQ(Mode(folder / "xdg" / "conf"), 0700u);
  EXPECT_EQ(Mode(folder / "xdg"), 0700u);

  ::setenv("XDG_CONFIG_HOME", ((folder / "xdg" / "conf").string() + "/").c_str(), 1);
  EXPECT_EQ(SettingsFolder(), (folder / "xdg" / "conf").string());

  ::setenv("XDG_CONFIG_HOME", "relative/conf", 1);  // not absolute: ignored
  EXPECT_EQ(SettingsFolder(), (folder / "home" / ".config").string());
  EXPECT_EQ(Mode(folder / "home" / ".config"), 0700u);

  ::unsetenv("XDG_CONFIG_HOME");
  fs::permissions(folder / "home" / ".config", fs::perms::owner_all | fs::perms::group_read);
  EXPECT_EQ(SettingsFolder(), (folder / "home" / ".config").string());
  EXPECT_EQ(Mode(folder / "home" / ".config"), 0740u);  // an existing folder is left alone
  EXPECT_FALSE(fs::exists("relative"));
}

TEST_F(SettingsFolderTest, SeamReplacesTheFolder) {
  SetSettingsFolderForTest([] { return std::string("/x"); });
  EXPECT_EQ(SettingsFolder(), "/x");
  SetSettingsFolderForTest(nullptr);
  ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  EXPECT_EQ(SettingsFolder(), folder.string());
}

}  // namespace
