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

std::string Cased(std::string text, std::size_t step) {
    for (std::size_t i = 0; i < text.size(); i += step)
        text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    return text;
}

TEST(Language, EveryKeywordInAnyCase) {
    ASSERT_EQ(std::size(kKeywords), 25u);
    for (int value = 0; value < 25; ++value) {
        for (std::size_t step : {1000, 1, 2}) // as given, lower case, mixed case
            EXPECT_EQ(Ril_StringToLanguage(Cased(kKeywords[value], step).c_str()), value)
                << kKeywords[value] << step;
    }
    EXPECT_EQ(Ril_StringToLanguage("EnglishUk"), RIL_LANG_ENGLISHUK);
    EXPECT_EQ(Ril_StringToLanguage("TAGALOG"), RIL_LANG_TAGALOG);
    EXPECT_EQ(Ril_StringToLanguage("mungarian"), RIL_LANG_MUNGARIAN);
}

TEST(Language, NearMissesYieldZero) {
    const std::string padded = "ENGLISH" + std::string(300, ' ');
    for (const char *name :
         {" ENGLISH", "ENGLISH ", "ENGLIS", "ENGLISHU", "HUNGARIAN", "", "KLINGON", "ENGLISH\xE9",
          "\xC9NGLISH", padded.c_str(), static_cast<const char *>(nullptr)})
        EXPECT_EQ(Ril_StringToLanguage(name), RIL_LANG_MULTILANGUAGE) << (name ? name : "null");
}

} // namespace
