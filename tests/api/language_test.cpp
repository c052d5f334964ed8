// Tests of Ril_StringToLanguage: every keyword in three letter cases, and near misses.
#include "Ril4410.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

const char *const kKeywords[] = {
    "MULTILANGUAGE", "ENGLISH",   "FRENCH",    "GERMAN",  "CHINESEPRC", "CHINESETAIWAN", "JAPANESE",
    "KOREAN",        "RUSSIAN",   "MUNGARIAN", "SPANISH", "PORTUGUESE", "DANISH",        "DUTCH",
    "FINNISH",       "CZECH",     "GREEK",     "ITALIAN", "NORWEGIAN",  "POLISH",        "SLOVAK",
    "SWEDISH",       "SLOVENIAN", "ENGLISHUK", "TAGALOG"};

std::string Lower(std::string text) {
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Mixed(std::string text) {
    for (std::size_t i = 0; i < text.size(); i += 2)
        text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    return text;
}

TEST(Language, EveryKeywordInAnyCase) {
    ASSERT_EQ(25u, std::size(kKeywords));
    for (int value = 0; value < 25; ++value) {
        const std::string keyword = kKeywords[value];
        EXPECT_EQ(value, Ril_StringToLanguage(keyword.c_str())) << keyword;
        EXPECT_EQ(value, Ril_StringToLanguage(Lower(keyword).c_str())) << keyword;
        EXPECT_EQ(value, Ril_StringToLanguage(Mixed(keyword).c_str())) << keyword;
    }
    EXPECT_EQ(RIL_LANG_ENGLISHUK, Ril_StringToLanguage("EnglishUk"));
    EXPECT_EQ(RIL_LANG_TAGALOG, Ril_StringToLanguage("TAGALOG"));
}

TEST(Language, NearMissesYieldZero) {
    for (const char *name : {" ENGLISH", "ENGLISH ", "ENGLIS", "ENGLISHU", "HUNGARIAN", "",
                             "KLINGON", "ENGLISH\xE9", "\xC9NGLISH"})
        EXPECT_EQ(RIL_LANG_MULTILANGUAGE, Ril_StringToLanguage(name)) << name;
    EXPECT_EQ(RIL_LANG_MULTILANGUAGE, Ril_StringToLanguage(nullptr));
    EXPECT_EQ(RIL_LANG_MULTILANGUAGE,
              Ril_StringToLanguage(("ENGLISH" + std::string(300, ' ')).c_str()));
    EXPECT_EQ(RIL_LANG_MUNGARIAN, Ril_StringToLanguage("mungarian"));
}

} // namespace
