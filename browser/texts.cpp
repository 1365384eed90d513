#include "browser/texts.h"

#include <atomic>
#include <cstdio>

#include "browser/chinese_texts.h"
#include "browser/english_texts.h"
#include "wallpaper/wallpaper_texts.h"

namespace velmora {

namespace {

std::atomic<const TextTable*> inUse{&kChineseTexts};

}  // namespace

const TextTable& texts() { return *inUse.load(std::memory_order_relaxed); }

void useLanguage(Language language) {
    inUse.store(language == Language::English ? &kEnglishTexts : &kChineseTexts, std::memory_order_relaxed);
    useWallpaperTexts(language);
}

Language languageInUse() { return &texts() == &kEnglishTexts ? Language::English : Language::Chinese; }

std::string fillIn(const char* text, std::initializer_list<std::string> values) {
    std::string result;
    auto value = values.begin();
    for (const char* at = text; *at; ++at) {
        if (at[0] == '{' && at[1] == '}' && value != values.end()) {
            result += *value++;
            ++at;
        } else {
            result += *at;
        }
    }
    return result;
}

std::string sizeText(std::int64_t bytes) {
    char text[32];
    if (bytes < 1024 * 1024) {
        std::snprintf(text, sizeof text, "%lld KB", static_cast<long long>((bytes + 1023) / 1024));
    } else {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    }
    return text;
}

}  // namespace velmora
