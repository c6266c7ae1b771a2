#include "config_file/IniText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kronax {
namespace {

struct ReadCase {
    std::string text;
    std::string section;
    std::string key;
    std::optional<std::string> expected; // nothing: the default is used
};

void ExpectReads(const std::initializer_list<ReadCase>& cases) {
    for (const ReadCase& c : cases) {
        EXPECT_EQ(FindIniValue(c.text, c.section, c.key), c.expected)
            << "text \"" << c.text << "\", G(" << c.section << ", " << c.key << ")";
    }
}

TEST(FindIniValue, MatchesNamesCaseInsensitivelyAndTrimsBlanks) {
    ExpectReads({{"[Main]\r\nPort = COM3 \r\n", "main", "PORT", "COM3"},
                 {"\t[Main]\v\r\n\tPort\t=\tCOM3\t\r\n", " Main ", " port ", "COM3"},
                 {"[ Main ]\nA=1\n", "Main", "A", "1"}});
}

TEST(FindIniValue, SplitsLinesAtCrLfLfAndLoneCr) {
    ExpectReads({{"[Main]\rA=1\r", "Main", "A", "1"},
                 {"[X]\nA=0\r\n[Main]\rB=0\nA=2", "Main", "A", "2"},
                 {"[Main]\r\rA=1", "Main", "A", "1"}});
}

TEST(FindIniValue, RemovesExactlyOnePairOfMatchingOuterQuotes) {
    ExpectReads({{"[S]\r\nK=  \"  x y  \"  \r\n", "S", "K", "  x y  "},
                 {"[S]\r\nK='a\"\r\n", "S", "K", "'a\""},
                 {"[S]\r\nK=\"\"q\"\"\r\n", "S", "K", "\"q\""},
                 {"[S]\r\nK='x'\r\n", "S", "K", "x"},
                 {"[S]\r\nK=\"\r\n", "S", "K", "\""}});
}

TEST(FindIniValue, KeepsLaterEqualsSemicolonsAndHashesInTheValue) {
    ExpectReads({{"[S]\r\nK=a=b;c #d\r\n", "S", "K", "a=b;c #d"}});
}

TEST(FindIniValue, SkipsCommentsAndLinesWithoutEquals) {
    ExpectReads({{"[S]\r\n;K=1\r\n#K=2\r\nK\r\n", "S", "K", std::nullopt},
                 {"[S]\r\n;K=1\r\n#K=2\r\nK\r\n", "S", "#K", "2"},
                 {"[S]\r\n  ;K=1\r\n", "S", "K", std::nullopt}});
}

TEST(FindIniValue, FirstMatchingSectionAndKeyWin) {
    const std::string text = "[S]\r\nK=1\r\nK=2\r\n[s]\r\nK=3\r\nJ=4\r\n";
    ExpectReads({{text, "S", "K", "1"}, {text, "S", "J", std::nullopt}});
}

TEST(FindIniValue, LinesBeforeTheFirstHeaderCannotBeRead) {
    ExpectReads({{"K=0\r\n[S]\r\n", "", "K", std::nullopt},
                 {"[]\r\nK=5\r\n", "", "K", "5"},
                 {"=v\r\n[S]\r\n=w\r\n", "S", "", "w"}});
}

TEST(FindIniValue, HeaderNameRunsToFirstBracketAndIgnoresTheRest) {
    ExpectReads({{"[S]K=1\r\n", "S", "K", std::nullopt},
                 {"[S\r\nK=1\r\n", "S", "K", "1"},
                 {"[a]b]\r\nK=1\r\n", "a", "K", "1"}});
}

TEST(FindIniValue, EmptyValueIsFoundNotDefaulted) {
    ExpectReads({{"[S]\r\nK=\r\n", "S", "K", ""}, {"[S]\r\nK=  \r\n", "S", "K", ""}});
}

// As the Windows profile functions do (checked under Wine): the mark is skipped and kept.
TEST(FindIniValue, ByteOrderMarkIsNoPartOfTheFirstLine) {
    ExpectReads({{"\xEF\xBB\xBF[S]\r\nK=1\r\n", "S", "K", "1"},
                 {"\xEF\xBB\xBF\r\n[S]\r\nK=1\r\n", "S", "K", "1"},
                 {"\xEF\xBB[S]\r\nK=1\r\n", "S", "K", std::nullopt}});
}

struct WriteCase {
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

TEST(WithIniEntry, EditsInPlaceAndKeepsEveryOtherByte) {
    const WriteCase cases[] = {
        {"", "Main", "Port", "COM3", "[Main]\r\nPort=COM3\r\n"},
        {"\xEF\xBB\xBF", "Main", "Port", "COM3", "\xEF\xBB\xBF[Main]\r\nPort=COM3\r\n"},
        {"\xEF\xBB\xBF[Main]\r\nPort=COM1\r\n", "Main", "Port", "COM3",
         "\xEF\xBB\xBF[Main]\r\nPort=COM3\r\n"},
        {"[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"[A]\nx=1\n", "B", "y", "2", "[A]\nx=1\n[B]\r\ny=2\r\n"},
        {"[A]\r\nKey=old", "a", "KEY", "new", "[A]\r\nKey=new\r\n"},
        {"; top\r\n[A]\r\nx=1\r\n; c\r\n\r\n[B]\r\nz=3\n", "a", "y", "2",
         "; top\r\n[A]\r\nx=1\r\ny=2\r\n; c\r\n\r\n[B]\r\nz=3\n"},
        {"[A]\n; c\n[B]\nz=3\n", "A", "y", "2", "[A]\ny=2\r\n; c\n[B]\nz=3\n"},
        {"[A]", "A", "y", "2", "[A]\r\ny=2\r\n"},
        {"[A]\r\n  Key = old ; x\r\nKey=second\n[B]\n", "a", "key", "v",
         "[A]\r\nKey=v\r\nKey=second\n[B]\n"},
        {"[S]\r\nK=1\r\n[s]\r\nJ=4\r\n", "S", "J", "5", "[S]\r\nK=1\r\nJ=5\r\n[s]\r\nJ=4\r\n"},
        {"", " Main ", " Port ", " x ", "[Main]\r\nPort=\" x \"\r\n"},
    };
    for (const WriteCase& c : cases) {
        EXPECT_EQ(WithIniEntry(c.before, c.section, c.key, c.value), c.after)
            << "before \"" << c.before << "\", W(" << c.section << ", " << c.key << ")";
    }
}

TEST(WithIniEntry, EveryWrittenValueReadsBackUnchanged) {
    for (const std::string value :
         {"", "plain", " lead", "trail\t", "\"q\"", "'x'", "\"", "a=b;c", "\"a'", "''", "\xB5s"}) {
        const std::string text = WithIniEntry("[S]\r\nK=old\r\n", "S", "K", value);
        EXPECT_EQ(FindIniValue(text, "S", "K"), value) << "value \"" << value << "\"";
    }
}

TEST(IsWritableIniEntry, RefusesWhatCannotReadBack) {
    EXPECT_TRUE(IsWritableIniEntry("General", "ComPortNo", "1"));
    EXPECT_TRUE(IsWritableIniEntry("", "", "x"));
    for (const std::string key : {";k", " ;k", "[k", "a=b", "a\rb", "a\nb"})
        EXPECT_FALSE(IsWritableIniEntry("S", key, "v")) << "key \"" << key << "\"";
    for (const std::string section : {"a]b", "a\r", "\nb"})
        EXPECT_FALSE(IsWritableIniEntry(section, "k", "v")) << "section \"" << section << "\"";
    for (const std::string value : {"a\rb", "a\n"})
        EXPECT_FALSE(IsWritableIniEntry("S", "k", value));
}

} // namespace
} // namespace kronax
