#include "files/platform_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/system_info.h"
#include "support/temp_folder.h"

namespace vlm {
namespace {

using test::TempFolder;
using test::WriteWholeFile;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

DynString Ask(const char* key) {
    DynString text(key);
    return PlatformInfo(text);
}

TEST(PlatformInfo, FixedAnswersForTheCallersKeyUpperCased) {
    DynString key("device");
    EXPECT_EQ(PlatformInfo(key), "DESKTOP");
    EXPECT_EQ(key, "DEVICE");
    EXPECT_EQ(Ask(""), "WIN32");
    EXPECT_EQ(Ask("xyz"), "NO_DATA");
    EXPECT_EQ(Ask("Device "), "NO_DATA");
    const DynString host = Ask("hostid");
    ASSERT_EQ(host.length(), 8u);
    EXPECT_EQ(host.view().find_first_not_of("0123456789abcdef"), std::string_view::npos);
    SetBuildStamp("Mar  5 2009", "07:04:09");
    EXPECT_EQ(Ask("compiled"), "Mar  5 2009-07:04:09");
}

TEST(PlatformInfo, LocalTime) {
    ScopedEnv zone("TZ", "UTC");
    ::tzset();
    std::tm moment{};
    moment.tm_year = 2009 - 1900;
    moment.tm_mon = 2;
    moment.tm_mday = 5;
    moment.tm_hour = 7;
    moment.tm_min = 4;
    moment.tm_sec = 9;
    EXPECT_EQ(LocalTimeText(::timegm(&moment)), "2009-03-05 07:04:09");
    EXPECT_EQ(Ask("time").length(), 19u);
}

TEST(PlatformInfo, LocaleNamesMapToLanguageIdsAndTheTableToCodes) {
    EXPECT_EQ(LanguageIdFromLocale("de_DE.UTF-8"), 0x0407);
    EXPECT_EQ(LanguageIdFromLocale("de_AT"), 0x0c07);
    EXPECT_EQ(LanguageIdFromLocale("en_US.UTF-8"), 0x0409);
    EXPECT_EQ(LanguageIdFromLocale("en_GB"), 0x0809);
    EXPECT_EQ(LanguageIdFromLocale("fr_CA.UTF-8@euro"), 0x0c0c);
    EXPECT_EQ(LanguageIdFromLocale("zh_CN.GB2312"), 0x0804);
    EXPECT_EQ(LanguageIdFromLocale("sr_RS"), 0x081a);
    EXPECT_EQ(LanguageIdFromLocale("ja"), 0x0411);
    EXPECT_EQ(LanguageIdFromLocale("C"), 0);
    EXPECT_EQ(LanguageIdFromLocale("POSIX"), 0);
    EXPECT_EQ(LanguageIdFromLocale(""), 0);
    EXPECT_EQ(LocaleCode(0x0407), "de");
    EXPECT_EQ(LocaleCode(0x0409), "uk"); // the table's own answer for US English
    EXPECT_EQ(LocaleCode(0x0809), "us");
    EXPECT_EQ(LocaleCode(0x0408), "gr");
    EXPECT_EQ(LocaleCode(0x0411), "jp");
    EXPECT_EQ(LocaleCode(0x0404), "ch");
    EXPECT_EQ(LocaleCode(0x0804), "ch");
    EXPECT_EQ(LocaleCode(0x0c04), "zh");
    EXPECT_EQ(LocaleCode(0x1404), "zh");
    EXPECT_EQ(LocaleCode(0x0422), "uk");
    EXPECT_EQ(LocaleCode(0x7777), "us");
    EXPECT_EQ(LocaleCode(0), "us");
}

TEST(PlatformInfo, LocaleFollowsTheUsersSettingsInOrder) {
    ScopedEnv all("LC_ALL", "de_DE.UTF-8");
    ScopedEnv messages("LC_MESSAGES", "fr_FR.UTF-8");
    ScopedEnv lang("LANG", "ja_JP.UTF-8");
    EXPECT_EQ(Ask("locale"), "de");
    {
        ScopedEnv noAll("LC_ALL", "");
        EXPECT_EQ(Ask("locale"), "fr");
        ScopedEnv noMessages("LC_MESSAGES", nullptr);
        EXPECT_EQ(Ask("locale"), "jp");
        ScopedEnv plain("LANG", "C.UTF-8");
        EXPECT_EQ(Ask("locale"), "us");
    }
}

TEST(PlatformInfo, MachineIdentity) {
    TempFolder temp;
    WriteWholeFile(temp / "machine-id", "00000001000000020000000400000008\n");
    EXPECT_EQ(platform::MachineIdentity(temp / "machine-id"), 0xFu);
    WriteWholeFile(temp / "bad-id", "not an identity at all, not hex!\n");
    EXPECT_FALSE(platform::MachineIdentity(temp / "bad-id"));
    EXPECT_FALSE(platform::MachineIdentity(temp / "missing"));
    // 0xF combined with the mask 0x5A17C0DE, lowest byte first.
    EXPECT_EQ(MachineIdText(0xF), "D1C0175A");
    const DynString id = Ask("id");
    ASSERT_EQ(id.length(), 8u);
    EXPECT_EQ(id.view().find_first_not_of("0123456789ABCDEF"), std::string_view::npos);
}

TEST(PlatformInfo, BatteryFromPowerSupplies) {
    TempFolder temp;
    std::filesystem::create_directories(temp / "AC");
    WriteWholeFile(temp / "AC" / "type", "Mains\n");
    EXPECT_FALSE(platform::BatteryPercent(temp.path()));
    std::filesystem::create_directories(temp / "BAT0");
    WriteWholeFile(temp / "BAT0" / "type", "Battery\n");
    WriteWholeFile(temp / "BAT0" / "capacity", "87\n");
    EXPECT_EQ(platform::BatteryPercent(temp.path()), 87);
    EXPECT_FALSE(platform::BatteryPercent(temp / "nothing"));
    // This machine's answer: its battery's charge, or 255 for none.
    const auto here = platform::BatteryPercent();
    EXPECT_EQ(Ask("battery"), DynString(here ? std::to_string(*here) : "255"));
}

TEST(PlatformInfo, DocumentsFolder) {
    TempFolder temp;
    std::filesystem::create_directories(temp / "home" / "Papers");
    ScopedEnv home("HOME", (temp / "home").c_str());
    ScopedEnv config("XDG_CONFIG_HOME", (temp / "config").c_str());
    EXPECT_EQ(Ask("documents"), "NO_DATA");
    std::filesystem::create_directories(temp / "config");
    WriteWholeFile(temp / "config" / "user-dirs.dirs", "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    EXPECT_EQ(Ask("documents"), DynString((temp / "home" / "Papers").string()));
    WriteWholeFile(temp / "config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n");
    EXPECT_EQ(Ask("documents"), "NO_DATA");
}

} // namespace
} // namespace vlm
