// The interface language: how it is chosen, the popup menu's choice, and the English
// table beside the Chinese one.
#include <array>
#include <bit>
#include <map>
#include <string_view>

#include "base/error.h"
#include "browser/chinese_texts.h"
#include "browser/english_texts.h"
#include "platform/language_setting.h"
#include "wallpaper/wallpaper_texts.h"
#include "tests/browser/browser_fixture.h"

namespace velmora::test {
namespace {

constexpr Language zh = Language::Chinese, en = Language::English;

TEST(Language, TheArgumentThenTheSettingThenTheSystemDecide) {
    const struct {
        std::map<std::string, const char*> environment;
        Language expected;
    } systems[] = {
        {{}, zh},
        {{{"LANG", "C"}}, zh},
        {{{"LANG", "POSIX"}}, zh},
        {{{"LANG", "fr_FR.UTF-8"}}, zh},
        {{{"LANG", "en_US.UTF-8"}}, en},
        {{{"LANG", "zh_CN.UTF-8"}}, zh},
        {{{"LC_MESSAGES", "en_GB.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}, en},
        {{{"LC_ALL", "zh_TW.UTF-8"}, {"LC_MESSAGES", "en_GB.UTF-8"}}, zh},
        {{{"LC_ALL", ""}, {"LANG", "en_US"}}, en},  // set but empty counts as unset
        {{{"LANGUAGE", "en"}, {"LANG", "zh_CN.UTF-8"}}, en},
        {{{"LANGUAGE", "de:fr:en_GB:zh"}, {"LANG", "C"}}, en},  // the first language there is
        {{{"LANGUAGE", "de:zh_CN:en"}, {"LANG", "en_US"}}, zh},
        {{{"LANGUAGE", "de:fr"}, {"LC_ALL", "en_US"}}, en},  // none there: the locale decides
    };
    for (const auto& system : systems) {
        const Language found = languageOfEnvironment([&](const char* name) -> const char* {
            auto value = system.environment.find(name);
            return value == system.environment.end() ? nullptr : value->second;
        });
        EXPECT_EQ(found, system.expected) << testing::PrintToString(system.environment);
    }

    MemorySettings setting;
    EXPECT_EQ(platform::startLanguage(std::nullopt, setting, en), en);
    setting.values = {{"language", "zh"}};
    EXPECT_EQ(platform::startLanguage(std::nullopt, setting, en), zh);
    EXPECT_EQ(platform::startLanguage(en, setting, zh), en);
    setting.values = {{"language", "klingon"}};
    EXPECT_EQ(platform::startLanguage(std::nullopt, setting, en), en);
    struct Damaged : MemorySettings {
        platform::SettingValues load() override { throw Error("wallpaper.conf: line 2 is damaged"); }
    } damaged;
    EXPECT_EQ(platform::startLanguage(std::nullopt, damaged, en), en);
}

using LanguageChoice = BrowserTest;

TEST_F(LanguageChoice, ThePopupMenusLanguageIsSavedForTheNextStartAndChecked) {
    languageSetting.values = {{"fit", "tile"}};
    open();
    auto checked = [&] {
        std::string found;
        for (const CommandControl& control : mainWindowControls()) {
            if (view.states.checked(control)) found += texts().*control.caption;
        }
        return found;
    };
    EXPECT_EQ(checked(), "中文");
    browser->run(CommandId::EnglishInterface);
    EXPECT_EQ(checked(), "English");
    EXPECT_EQ(languageSetting.values, (platform::SettingValues{{"fit", "tile"}, {"language", "en"}}));
    // This run keeps its language: the choice is for the next start.
    EXPECT_EQ(languageInUse(), zh);
    browser->run(CommandId::ChineseInterface);
    EXPECT_EQ(languageSetting.values.at("language"), "zh");
    EXPECT_EQ(checked(), "中文");
}

// Both tables hold every text: nothing empty, as many values to fill in, an accelerator
// where the Chinese one has it, and the texts that are English in the program the same.
TEST(Language, TheEnglishTableMatchesTheChineseOneTextForText) {
    constexpr std::size_t count = sizeof(TextTable) / sizeof(const char*);
    const auto chinese = std::bit_cast<std::array<const char*, count>>(kChineseTexts);
    const auto english = std::bit_cast<std::array<const char*, count>>(kEnglishTexts);
    auto occurrences = [](std::string_view text, std::string_view part) {
        int found = 0;
        for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++found;
        return found;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view zhText = chinese[i], enText = english[i];
        SCOPED_TRACE(enText);
        EXPECT_FALSE(enText.empty());
        EXPECT_EQ(occurrences(enText, "{}"), occurrences(zhText, "{}"));
        if (zhText.find('&') != std::string_view::npos) {
            EXPECT_NE(enText.find('&'), std::string_view::npos);
        }
        const bool chineseInside = zhText.find_first_of("\xe4\xe5\xe6\xe7\xe8\xe9\xef") != std::string_view::npos;
        if (!chineseInside) {
            EXPECT_EQ(enText, zhText);
        }
    }
    EXPECT_STREQ(kEnglishTexts.languageMenu, kChineseTexts.languageMenu);

    useLanguage(en);
    EXPECT_STREQ(texts().deleteButton, "Delete");
    EXPECT_STREQ(wallpaperTexts().noPictureSource, "There is no picture to show!");
    useLanguage(zh);
    EXPECT_STREQ(wallpaperTexts().noPictureSource, "没有图片源!");
}

}  // namespace
}  // namespace velmora::test
