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

// Sets an environment variable (null: unsets it) for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }

private:
    void Set(const char* value) const { value ? ::setenv(name_, value, 1) : ::unsetenv(name_); }
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
    EXPECT_EQ(LocalTimeText(1236236649), "2009-03-05 07:04:09");
    EXPECT_EQ(Ask("time").length(), 19u);
}

TEST(PlatformInfo, LocaleNamesMapToLanguageIdsAndTheTableToCodes) {
    using Locale = std::pair<const char*, int>;
    for (const auto& [locale, id] :
         {Locale{"de_DE.UTF-8", 0x0407}, Locale{"de_AT", 0x0c07}, Locale{"en_US.UTF-8", 0x0409},
          Locale{"en_GB", 0x0809}, Locale{"fr_CA.UTF-8@euro", 0x0c0c}, Locale{"zh_CN.GB2312", 0x0804},
          Locale{"sr_RS", 0x081a}, Locale{"ja", 0x0411}, Locale{"C", 0}, Locale{"POSIX", 0}, Locale{"", 0}})
        EXPECT_EQ(LanguageIdFromLocale(locale), id) << locale;
    // The table's own answers, "uk" for US English among them.
    using Code = std::pair<int, const char*>;
    for (const auto& [id, code] : {Code{0x0407, "de"}, Code{0x0409, "uk"}, Code{0x0809, "us"}, Code{0x0408, "gr"},
                                   Code{0x0411, "jp"}, Code{0x0404, "ch"}, Code{0x0804, "ch"}, Code{0x0c04, "zh"},
                                   Code{0x1404, "zh"}, Code{0x0422, "uk"}, Code{0x7777, "us"}, Code{0, "us"}})
        EXPECT_EQ(LocaleCode(id), code) << id;
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
