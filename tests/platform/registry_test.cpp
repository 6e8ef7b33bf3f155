// The registry emulation: the hive text format, the winreg functions over
// hive files, and changes that survive crashes and concurrent writers.
#include "platform/registry/winreg.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/registry/emulation/hive.h"
#include "platform/registry/emulation/hive_store.h"
#include "tests/support/temp_registry.h"

namespace {

using vornfmt::registry::Hive;
using vornfmt::test::TempRegistry;

constexpr char kHead[] = "Windows Registry Editor Version 5.00\n\n";

std::string Canonical(const std::string& text, std::string& error) {
  auto hive = Hive::Parse(text, u"HKEY_LOCAL_MACHINE", error);
  return hive ? hive->Serialize() : std::string();
}

// ---- the text format ----------------------------------------------------------------

struct ParseCase {
  const char* name;
  std::string text;
  std::string expected;  // the canonical text, or the error's beginning after "!"
};

TEST(HiveText, ReadsWritesAndRefusesAsTheFormatSays) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\Software\\A]\n";
  const ParseCase cases[] = {
      {"empty hive", kHead, kHead},
      {"REGEDIT4 header", "REGEDIT4\n", kHead},
      {"every key written, intermediate ones too", std::string(kHead) + "[HKEY_LOCAL_MACHINE\\X\\Y]\n",
       std::string(kHead) + "[HKEY_LOCAL_MACHINE\\X]\n\n[HKEY_LOCAL_MACHINE\\X\\Y]\n\n"},
      {"values of every kind", std::string(kHead) + key +
           "@=\"d\"\n\"S\"=\"a\\\\b \\\"q\\\"\"\n\"D\"=dword:2A\n\"B\"=hex:01,ff\n\"E\"=hex(2):41,00,00,00\n"
           "\"Q\"=hex(b):01,00,00,00,00,00,00,00\n\"N\"=hex:\n",
       std::string(kHead) + "[HKEY_LOCAL_MACHINE\\Software]\n\n" + key +
           "@=\"d\"\n\"B\"=hex:01,ff\n\"D\"=dword:0000002a\n\"E\"=hex(2):41,00,00,00\n\"N\"=hex:\n"
           "\"Q\"=hex(b):01,00,00,00,00,00,00,00\n\"S\"=\"a\\\\b \\\"q\\\"\"\n\n"},
      {"names compare without case", std::string(kHead) + key + "\"v\"=\"1\"\n[hkey_local_machine\\SOFTWARE\\a]\n\"V\"=\"2\"\n",
       std::string(kHead) + "[HKEY_LOCAL_MACHINE\\Software]\n\n" + key + "\"v\"=\"2\"\n\n"},
      {"deletions", std::string(kHead) + key + "\"v\"=\"1\"\n\"w\"=\"2\"\n\"v\"=-\n[HKEY_LOCAL_MACHINE\\Gone]\n"
           "[-HKEY_LOCAL_MACHINE\\Gone]\n",
       std::string(kHead) + "[HKEY_LOCAL_MACHINE\\Software]\n\n" + key + "\"w\"=\"2\"\n\n"},
      {"comments, blanks, CRLF and hex continued", std::string(kHead) + "; note\r\n" + key + "  \"b\" = hex:01,\\\r\n   02\r\n",
       std::string(kHead) + "[HKEY_LOCAL_MACHINE\\Software]\n\n" + key + "\"b\"=hex:01,02\n\n"},
      {"a text with a NUL inside stays exact", std::string(kHead) + key + "\"t\"=hex(1):41,00,00,00,42,00,00,00\n",
       std::string(kHead) + "[HKEY_LOCAL_MACHINE\\Software]\n\n" + key + "\"t\"=hex(1):41,00,00,00,42,00,00,00\n\n"},
      {"no header", key, "!line 1: the file does not start"},
      {"value before any key", std::string(kHead) + "\"v\"=\"1\"\n", "!line 3: a value must follow a key line"},
      {"key of another root", std::string(kHead) + "[HKEY_CLASSES_ROOT\\X]\n", "!line 3: the key HKEY_CLASSES_ROOT\\X is not under"},
      {"empty key name", std::string(kHead) + "[HKEY_LOCAL_MACHINE\\A\\\\B]\n", "!line 3: the key"},
      {"unclosed key", std::string(kHead) + "[HKEY_LOCAL_MACHINE\\A\n", "!line 3: a key line must end"},
      {"unknown escape", std::string(kHead) + key + "\"v\"=\"a\\n\"\n", "!line 4: only"},
      {"unclosed text", std::string(kHead) + key + "\"v\"=\"abc\n", "!line 4: a quoted text is not closed"},
      {"dword of nine digits", std::string(kHead) + key + "\"v\"=dword:123456789\n", "!line 4: dword:"},
      {"bad hex byte", std::string(kHead) + key + "\"v\"=hex:01,1g\n", "!line 4: \"1g\" is not a hexadecimal byte"},
      {"bad hex type", std::string(kHead) + key + "\"v\"=hex(zz):01\n", "!line 4: hex("},
      {"unknown value form", std::string(kHead) + key + "\"v\"=word:1\n", "!line 4: a value must be"},
      {"text after a quoted value", std::string(kHead) + key + "\"v\"=\"a\" x\n", "!line 4: nothing may follow"},
      {"missing =", std::string(kHead) + key + "\"v\" \"a\"\n", "!line 4: '=' must follow"},
  };
  for (const ParseCase& c : cases) {
    std::string error;
    const std::string got = Canonical(c.text, error);
    if (c.expected[0] == '!')
      EXPECT_EQ(error.rfind(c.expected.substr(1), 0), 0u) << c.name << ": " << error;
    else
      EXPECT_EQ(got, c.expected) << c.name << ": " << error;
  }
}

TEST(HiveText, RefusesHostileSizesAndDepths) {
  std::string error;
  std::string deep = std::string(kHead) + "[HKEY_LOCAL_MACHINE";
  for (size_t i = 0; i <= vornfmt::registry::kMaxKeyDepth; ++i) deep += "\\k";
  EXPECT_FALSE(Hive::Parse(deep + "]\n", u"HKEY_LOCAL_MACHINE", error));
  EXPECT_NE(error.find("too deep"), std::string::npos) << error;

  const std::string longName = std::string(kHead) + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'n') + "]\n";
  EXPECT_FALSE(Hive::Parse(longName, u"HKEY_LOCAL_MACHINE", error));

  std::string big(vornfmt::registry::kMaxHiveBytes + 1, ';');
  EXPECT_FALSE(Hive::Parse(std::string(kHead) + big, u"HKEY_LOCAL_MACHINE", error));
  EXPECT_NE(error.find("larger than 16 MiB"), std::string::npos) << error;

  std::string hugeValue = std::string(kHead) + "[HKEY_LOCAL_MACHINE\\A]\n\"v\"=hex:";
  for (size_t i = 0; i <= vornfmt::registry::kMaxValueBytes; ++i) hugeValue += "00,";
  EXPECT_FALSE(Hive::Parse(hugeValue + "00\n", u"HKEY_LOCAL_MACHINE", error));
  EXPECT_NE(error.find("longer than"), std::string::npos) << error;
}

TEST(HiveText, ReadsUtf16FilesAsRegeditWritesThem) {
  const std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\\u00C4]\r\n\"n\"=\"\u00FC\"\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  std::string error;
  EXPECT_EQ(Canonical(bytes, error), std::string(kHead) + "[HKEY_LOCAL_MACHINE\\\xC3\x84]\n\"n\"=\"\xC3\xBC\"\n\n") << error;
  bytes.push_back('x');  // an odd byte count
  EXPECT_EQ(Canonical(bytes, error), "");
}

TEST(HiveText, WritesLongBinaryValuesOnContinuedLinesThatReadBack) {
  std::string error;
  std::string text = std::string(kHead) + "[HKEY_LOCAL_MACHINE\\A]\n\"b\"=hex:";
  for (int i = 0; i < 100; ++i) text += (i ? "," : "") + std::string("ab");
  const std::string written = Canonical(text + "\n", error);
  EXPECT_NE(written.find(",\\\n  ab"), std::string::npos);
  EXPECT_EQ(Canonical(written, error), written) << error;
}

// ---- the winreg functions ------------------------------------------------------------

class RegistryApi : public ::testing::Test {
 protected:
  HKEY Create(const char16_t* path, REGSAM access = KEY_ALL_ACCESS) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, access, nullptr, &key, nullptr), ERROR_SUCCESS);
    return key;
  }
  static LONG SetText(HKEY key, const char16_t* name, std::u16string text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * 2));
  }
  TempRegistry registry_;
};

TEST_F(RegistryApi, KeysAndValuesLiveInTheHiveFile) {
  DWORD disposition = 0;
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\V", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  EXPECT_EQ(SetText(key, u"Name", u"value"), ERROR_SUCCESS);
  const DWORD number = 0x2A;
  EXPECT_EQ(RegSetValueExW(key, u"N", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry_.Read("HKEY_LOCAL_MACHINE"), std::string(kHead) +
                "[HKEY_LOCAL_MACHINE\\Software]\n\n[HKEY_LOCAL_MACHINE\\Software\\V]\n\"N\"=dword:0000002a\n"
                "\"Name\"=\"value\"\n\n");

  HKEY again = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\v", 0, nullptr, 0, KEY_READ, nullptr, &again, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExW(again, u"NAME", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 12u);
  BYTE buffer[12] = {};
  size = 10;
  EXPECT_EQ(RegQueryValueExW(again, u"Name", nullptr, nullptr, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 12u);
  EXPECT_EQ(buffer[0], 0) << "a buffer too small stays untouched";
  EXPECT_EQ(RegQueryValueExW(again, u"Name", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(buffer)), u"value");
  EXPECT_EQ(RegQueryValueExW(again, u"Other", nullptr, nullptr, buffer, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(SetText(again, u"Name", u"x"), ERROR_ACCESS_DENIED) << "opened for reading";
  EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(again), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryApi, AnswersTheWindowsCodesAtTheEdges) {
  HKEY key = Create(u"A\\B\\C");
  HKEY out = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A\\Missing", 0, KEY_READ, &out), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A\\\\B", 0, KEY_READ, &out), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegOpenKeyExW(reinterpret_cast<HKEY>(&out), u"A", 0, KEY_READ, &out), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"A\\B"), ERROR_ACCESS_DENIED) << "B has a subkey";
  EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"A\\B\\C"), ERROR_SUCCESS);
  EXPECT_EQ(SetText(key, u"v", u"x"), ERROR_KEY_DELETED);
  EXPECT_EQ(RegDeleteTreeW(HKEY_LOCAL_MACHINE, u"A"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteTreeW(HKEY_LOCAL_MACHINE, u"A"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  HKEY parent = Create(u"P\\Q");
  EXPECT_EQ(SetText(parent, u"v", u"1"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(parent, u"V"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(parent, u"v"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
  HKEY top = Create(u"P");
  EXPECT_EQ(RegDeleteTreeW(top, nullptr), ERROR_SUCCESS) << "everything below P";
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"P\\Q", 0, KEY_READ, &out), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"P", 0, KEY_READ, &out), ERROR_SUCCESS);
  RegCloseKey(out);
  RegCloseKey(top);
}

TEST_F(RegistryApi, ABrokenHiveIsNeitherReadNorOverwritten) {
  const std::string broken = "not a registry file\n";
  registry_.Write("HKEY_LOCAL_MACHINE", broken);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, KEY_READ, &key), ERROR_BADDB);
  EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"A", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_BADDB);
  EXPECT_EQ(registry_.Read("HKEY_LOCAL_MACHINE"), broken);
}

TEST_F(RegistryApi, AFailedChangeLeavesTheHiveAsItWas) {
  HKEY key = Create(u"K");
  ASSERT_EQ(SetText(key, u"v", u"old"), ERROR_SUCCESS);
  const std::string before = registry_.Read("HKEY_LOCAL_MACHINE");
  for (auto stage : {vornfmt::registry::WriteStage::BeforeChange, vornfmt::registry::WriteStage::TemporaryWritten}) {
    auto previous = vornfmt::registry::SetWriteHookForTesting(
        [stage](vornfmt::registry::WriteStage now, std::u16string_view path) {
          EXPECT_EQ(path, u"HKEY_LOCAL_MACHINE\\K");
          return now != stage;
        });
    EXPECT_EQ(SetText(key, u"v", u"new"), ERROR_WRITE_FAULT);
    vornfmt::registry::SetWriteHookForTesting(previous);
    EXPECT_EQ(registry_.Read("HKEY_LOCAL_MACHINE"), before);
    EXPECT_FALSE(std::filesystem::exists(registry_.File("HKEY_LOCAL_MACHINE").string() + ".tmp"));
  }
  RegCloseKey(key);
}

// A process that dies after writing the new hive but before renaming it
// leaves the old hive; the next change works.
TEST_F(RegistryApi, ACrashMidWriteLeavesTheOldHive) {
  HKEY key = Create(u"K");
  ASSERT_EQ(SetText(key, u"v", u"old"), ERROR_SUCCESS);
  const std::string before = registry_.Read("HKEY_LOCAL_MACHINE");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    vornfmt::registry::SetWriteHookForTesting([](vornfmt::registry::WriteStage stage, std::u16string_view) {
      if (stage == vornfmt::registry::WriteStage::TemporaryWritten) _exit(42);
      return true;
    });
    SetText(key, u"v", u"new");
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 42) << "the child died in the middle of the change";
  EXPECT_EQ(registry_.Read("HKEY_LOCAL_MACHINE"), before);
  EXPECT_EQ(SetText(key, u"v", u"next"), ERROR_SUCCESS);
  EXPECT_NE(registry_.Read("HKEY_LOCAL_MACHINE").find("\"v\"=\"next\""), std::string::npos);
  RegCloseKey(key);
}

// Processes changing the same hive at once lose none of each other's changes.
TEST_F(RegistryApi, ConcurrentWritersLoseNothing) {
  constexpr int kWriters = 4, kValues = 20;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int failures = 0;
      for (int i = 0; i < kValues; ++i) {
        const std::u16string path = u"W" + std::u16string(1, static_cast<char16_t>(u'0' + w));
        HKEY key = nullptr;
        failures += RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                    nullptr) != ERROR_SUCCESS;
        const std::u16string name = u"v" + std::u16string(1, static_cast<char16_t>(u'A' + i));
        failures += SetText(key, name.c_str(), u"x") != ERROR_SUCCESS;
        RegCloseKey(key);
      }
      _exit(failures);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::string error;
  auto hive = Hive::Parse(registry_.Read("HKEY_LOCAL_MACHINE"), u"HKEY_LOCAL_MACHINE", error);
  ASSERT_TRUE(hive) << error;
  int values = 0;
  for (const auto& [name, key] : hive->Root().subkeys) values += static_cast<int>(key->values.size());
  EXPECT_EQ(values, kWriters * kValues);
}

TEST(HiveFiles, PerUserFilesComeBeforeTheSystemOnes) {
  const vornfmt::test::TempFolder folder("vornfmt-home");
  const std::filesystem::path& home = folder.path();
  const char* previousRegistry = std::getenv("VORNFMT_REGISTRY");
  const std::string savedRegistry = previousRegistry ? previousRegistry : "";
  unsetenv("VORNFMT_REGISTRY");
  setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  using vornfmt::registry::Root;
  const std::filesystem::path user = home / "vornfmt" / "registry";
  EXPECT_EQ(vornfmt::registry::HiveReadFile(Root::CurrentUser), user / "HKEY_CURRENT_USER.reg");
  EXPECT_EQ(vornfmt::registry::HiveReadFile(Root::LocalMachine).parent_path(),
            std::filesystem::path(VORNFMT_SYSTEM_REGISTRY));
  std::filesystem::create_directories(user);
  std::ofstream(user / "HKEY_LOCAL_MACHINE.reg") << kHead;
  EXPECT_EQ(vornfmt::registry::HiveReadFile(Root::LocalMachine), user / "HKEY_LOCAL_MACHINE.reg");
  EXPECT_EQ(vornfmt::registry::HiveWriteFile(Root::LocalMachine), user / "HKEY_LOCAL_MACHINE.reg");
  unsetenv("XDG_CONFIG_HOME");
  if (previousRegistry) setenv("VORNFMT_REGISTRY", savedRegistry.c_str(), 1);
}

}  // namespace
