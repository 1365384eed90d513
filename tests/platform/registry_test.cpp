#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fake_registry.h"
#include "platform/hive_text.h"
#include "platform/registry_linux.h"
#include "base/system_error.h"
#include "base/error.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/temp_dir.h"

namespace velmora::platform {
namespace {

std::string readText(Registry& registry, RegKey key, const std::string& name) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (registry.queryValue(key, name, &type, nullptr, &size) != 0) return "<missing>";
    std::string data(size, '\0');
    registry.queryValue(key, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size);
    return data;
}

long setText(Registry& registry, RegKey key, const std::string& name, const std::string& text,
             std::uint32_t type = kRegSz) {
    return registry.setValue(key, name, type, reinterpret_cast<const std::uint8_t*>(text.data()),
                             static_cast<std::uint32_t>(text.size()));
}

class RegistrySemantics : public ::testing::Test {
protected:
    CallLog log;
    FakeRegistry registry{log};
};

TEST_F(RegistrySemantics, MissingKeyFailsToOpenAndCreateMakesTheWholeChain) {
    RegKey key = 77;
    EXPECT_EQ(registry.openKey(kHkeyCurrentUser, "software\\Velmora", kKeyRead, &key), kErrorFileNotFound);
    EXPECT_EQ(key, kNoKey);
    ASSERT_EQ(registry.createKey(kHkeyCurrentUser, "Software\\Velmora", kKeyAllAccess, &key), 0);
    EXPECT_TRUE(registry.hasKey("Software"));
    registry.closeKey(key);
    // Matched without regard to case, with or without the leading backslash.
    EXPECT_EQ(registry.openKey(kHkeyCurrentUser, "\\SOFTWARE\\velmora", kKeyRead, &key), 0);
    EXPECT_EQ(registry.closeKey(key), 0);
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST_F(RegistrySemantics, QueryGivesTypeAndSizeThenData) {
    RegKey key = kNoKey;
    registry.createKey(kHkeyCurrentUser, "software\\Velmora", kKeyAllAccess, &key);
    ASSERT_EQ(setText(registry, key, "FileName", std::string("abc\0", 4)), 0);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.queryValue(key, "filename", &type, nullptr, &size), 0);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 4u);
    std::uint8_t small[2];
    size = sizeof small;
    EXPECT_EQ(registry.queryValue(key, "FileName", &type, small, &size), kErrorMoreData);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(readText(registry, key, "FILENAME"), std::string("abc\0", 4));
    EXPECT_EQ(registry.queryValue(key, "Other", &type, nullptr, &size), kErrorFileNotFound);
    registry.closeKey(key);
}

TEST_F(RegistrySemantics, ClosedOrUnknownHandlesFail) {
    RegKey key = kNoKey;
    registry.createKey(kHkeyCurrentUser, "k", kKeyAllAccess, &key);
    registry.closeKey(key);
    std::uint32_t size = 0;
    EXPECT_EQ(registry.queryValue(key, "v", nullptr, nullptr, &size), kErrorInvalidHandle);
    EXPECT_EQ(setText(registry, kNoKey, "v", "x"), kErrorInvalidHandle);
    EXPECT_EQ(registry.closeKey(key), kErrorInvalidHandle);
}

TEST(HiveText, RoundTripsEveryByteInNamesAndData) {
    RegistryHive hive;
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    RegistryKey& key = hive.create("Software\\Odd [name] %\"图片\"");
    hive.setValue(key, "bytes", kRegBinary, Bytes(all.begin(), all.end()));
    hive.setValue(key, "名\n字", kRegSz, Bytes{'x', 0});
    hive.setValue(key, "", kRegDword, Bytes{1, 0, 0, 0});
    hive.setValue(hive.create("Control Panel\\Desktop"), "Wallpaper", 0x12345, Bytes{});

    std::string text = formatHive(hive);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(parseHive(text), hive);
    EXPECT_NE(text.find("[Software]\n[Software\\Odd %5Bname%5D %25%22"), std::string::npos);
    EXPECT_NE(text.find("\"\"=REG_DWORD:\"%01%00%00%00\""), std::string::npos);
}

TEST(HiveText, DamageIsReportedWithTheLine) {
    const std::string header = "Velmora registry hive 1\n";
    for (const std::string& text : {std::string(), std::string("hello\n"),
                                    header + "\"v\"=REG_SZ:\"x\"\n",        // value outside a key
                                    header + "[k]\n\"v\"=REG_SZ:\"x\n",     // unterminated
                                    header + "[k]\n\"v\"=REG_SZ:\"%G0\"\n",  // bad escape
                                    header + "[k]\n\"v\"=REG_FOO:\"\"\n",
                                    header + "[k]\n[K]\n",
                                    header + "[a\\\\b]\n"}) {
        EXPECT_THROW(parseHive(text), Error) << text;
    }
    try {
        parseHive(header + "[k]\n\"v\"=REG_SZ:\"%G0\"\n");
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
    }
}

TEST(LinuxRegistry, LivesInTheConfigFolderAndSurvivesAnotherInstance) {
    test::XdgSandbox sandbox;
    EXPECT_EQ(LinuxRegistry::defaultHiveFile(), sandbox.hiveFile());
    {
        LinuxRegistry registry;
        RegKey key = kNoKey;
        ASSERT_EQ(registry.createKey(kHkeyCurrentUser, "\\software\\Velmora", kKeyAllAccess, &key), 0);
        ASSERT_EQ(setText(registry, key, "FileName", std::string("图片3\0", 8)), 0);
        registry.closeKey(key);
    }
    EXPECT_EQ(test::readFile(sandbox.hiveFile()),
              "Velmora registry hive 1\n[software]\n[software\\Velmora]\n"
              "\"FileName\"=REG_SZ:\"%E5%9B%BE%E7%89%873%00\"\n");

    LinuxRegistry other;
    RegKey key = kNoKey;
    ASSERT_EQ(other.openKey(kHkeyCurrentUser, "SOFTWARE\\VELMORA", kKeyAllAccess, &key), 0);
    EXPECT_EQ(readText(other, key, "filename"), std::string("图片3\0", 8));
    // A change by one instance is seen by the other's open handle at once.
    LinuxRegistry first;
    RegKey firstKey = kNoKey;
    first.openKey(kHkeyCurrentUser, "software\\Velmora", kKeyAllAccess, &firstKey);
    setText(first, firstKey, "FileName", std::string("x\0", 2));
    EXPECT_EQ(readText(other, key, "FileName"), std::string("x\0", 2));
    EXPECT_EQ(setText(other, key, "n", "\x01\x02", kRegBinary), 0);
    EXPECT_EQ(readText(first, firstKey, "FileName"), std::string("x\0", 2));
}

TEST(LinuxRegistry, HeldChangesAreSeenAtOnceAndStoredInOneWriteAlsoWhenAnErrorEndsThem) {
    test::XdgSandbox sandbox;
    LinuxRegistry registry;
    RegKey key = kNoKey;
    registry.createKey(kHkeyCurrentUser, "a", kKeyAllAccess, &key);
    const std::string before = test::readFile(sandbox.hiveFile());
    try {
        HeldRegistryChanges held(registry);
        setText(registry, key, "one", "1");
        registry.holdChanges();  // an inner hold stores nothing on its own
        setText(registry, key, "two", "2");
        EXPECT_EQ(registry.commitChanges(), 0);
        EXPECT_EQ(readText(registry, key, "two"), "2");
        EXPECT_EQ(test::readFile(sandbox.hiveFile()), before);
        throw Error("the command failed");
    } catch (const Error&) {
    }
    LinuxRegistry other;
    RegKey otherKey = kNoKey;
    ASSERT_EQ(other.openKey(kHkeyCurrentUser, "a", kKeyRead, &otherKey), 0);
    EXPECT_EQ(readText(other, otherKey, "one") + readText(other, otherKey, "two"), "12");
}

TEST(LinuxRegistry, ReadingCreatesNothing) {
    test::XdgSandbox sandbox;
    LinuxRegistry registry;
    RegKey key = kNoKey;
    EXPECT_EQ(registry.openKey(kHkeyCurrentUser, "software\\Velmora", kKeyRead, &key), kErrorFileNotFound);
    EXPECT_FALSE(std::filesystem::exists(sandbox.hiveFile()));
}

TEST(LinuxRegistry, DamagedHiveIsReportedAndNeverOverwritten) {
    test::XdgSandbox sandbox;
    std::filesystem::create_directories(sandbox.dir().path() / "config/velmora");
    const std::string damaged = "Velmora registry hive 1\n[software\\Velmora]\n\"FileName\"=REG_SZ:\"bro";
    test::writeFile(sandbox.hiveFile(), damaged);

    LinuxRegistry registry;
    RegKey key = kNoKey;
    EXPECT_EQ(registry.openKey(kHkeyCurrentUser, "software\\Velmora", kKeyRead, &key), kErrorBadDb);
    EXPECT_EQ(registry.createKey(kHkeyCurrentUser, "software\\Velmora", kKeyAllAccess, &key), kErrorBadDb);
    EXPECT_EQ(key, kNoKey);
    EXPECT_NE(registry.damage().find("line 3"), std::string::npos) << registry.damage();
    EXPECT_EQ(test::readFile(sandbox.hiveFile()), damaged);

    // A FIFO with no writer in the hive's place is refused at once, not waited on.
    std::filesystem::remove(sandbox.hiveFile());
    ASSERT_EQ(::mkfifo(sandbox.hiveFile().c_str(), 0600), 0);
    EXPECT_EQ(registry.openKey(kHkeyCurrentUser, "software\\Velmora", kKeyRead, &key), kErrorBadDb);
    EXPECT_NE(registry.damage().find("not a regular file"), std::string::npos) << registry.damage();
    EXPECT_TRUE(std::filesystem::is_fifo(sandbox.hiveFile()));
}

TEST(LinuxRegistry, RewriteLeavesNoTemporaryFile) {
    test::XdgSandbox sandbox;
    LinuxRegistry registry;
    RegKey key = kNoKey;
    registry.createKey(kHkeyCurrentUser, "a", kKeyAllAccess, &key);
    for (int i = 0; i < 3; ++i) setText(registry, key, "v", std::to_string(i));
    registry.closeKey(key);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(sandbox.dir().path() / "config/velmora"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"HKEY_CURRENT_USER.hive", "HKEY_CURRENT_USER.hive.lock"}));
}

}  // namespace
}  // namespace velmora::platform
