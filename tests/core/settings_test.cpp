#include "core/format/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "core/format/gbk.h"
#include "core/format/ini.h"

using namespace room::format;

namespace {
// Files are GBK on disk; the cases are written in UTF-8 for reading.
std::string gbk(const std::string& utf8) {
    return utf8ToGbk(utf8);
}
}  // namespace

TEST(Settings, SystemTypeAndLampTableAsStartUpReadsThem) {
    struct Case {
        const char* file;
        int systemType;
        const char* lampTable;
    };
    const Case cases[] = {
        {"", 1, ""},  // no file
        {"[设置]\r\n上次选择的主机型号=3\r\n上次选择的灯名表=客房灯名\r\n", 3, "客房灯名"},
        {"[设置]\r\n上次选择的主机型号=0\r\n", 1, ""},
        {"[设置]\r\n上次选择的主机型号=-2\r\n", 1, ""},
        {"[设置]\r\n上次选择的主机型号=联网\r\n", 1, ""},
        {"[设置]\r\n上次选择的灯名表=A\r\n", 1, "A"},                  // key missing
        {"[其它]\r\n上次选择的主机型号=3\r\n", 1, ""},                 // section missing
        {"[设置]\r\n;上次选择的主机型号=3\r\n", 1, ""},                // comment
        {"[设置]\n  上次选择的主机型号  =  4号  \n", 4, ""},           // LF, blanks, atoi
        {"[ 设置 ]\r\n上次选择的主机型号=2", 2, ""},                   // no final line break
        {"[设置]\r\n上次选择的灯名表=\"带 空格\"\r\n", 1, "带 空格"},  // quotes dropped
        {"[设置]\r\n上次选择的主机型号=7\r\n", 1, ""},                 // no capacity row for 7
        {"[设置]\r\n上次选择的主机型号=6\r\n", 6, ""},
        // Only the first section of a name counts.
        {"[设置]\r\nx=1\r\n[设置]\r\n上次选择的主机型号=3\r\n", 1, ""},
    };
    for (const Case& c : cases) {
        const Settings s = parseSettings(gbk(c.file));
        EXPECT_EQ(s.systemTypeSelection, c.systemType) << c.file;
        EXPECT_EQ(s.lampTableName, c.lampTable) << c.file;
    }
}

TEST(Settings, ValueIsCutToTheReadBufferWithoutSplittingACharacter) {
    std::string wide = "a";
    for (int i = 0; i < 127; ++i) wide += "灯";  // 255 GBK bytes
    std::string expected = "a";
    for (int i = 0; i < 126; ++i) expected += "灯";  // 253 bytes: the 127th would need 255
    EXPECT_EQ(parseSettings(gbk("[设置]\r\n上次选择的灯名表=" + wide + "\r\n")).lampTableName,
              expected);
    const std::string ascii(300, 'x');
    EXPECT_EQ(parseSettings("[" + gbk("设置") + "]\r\n" + gbk("上次选择的灯名表") + "=" + ascii)
                  .lampTableName,
              std::string(254, 'x'));
}

TEST(Ini, NamesMatchWithoutAsciiCaseButGbkPairsExactly) {
    EXPECT_EQ(iniValue("[General]\r\nMaxCount = 5\r\n", "general", "MAXCOUNT"), "5");
    // 0x81 0x41 and 0x81 0x61 are two different characters, not one in two cases.
    EXPECT_EQ(iniValue("[\x81\x41]\r\nk=1\r\n", "\x81\x61", "k"), std::nullopt);
    EXPECT_EQ(iniValue("[\x81\x41]\r\nk=1\r\n", "\x81\x41", "K"), "1");
    EXPECT_EQ(iniValue("[s]\r\nflag\r\n", "s", "flag"), "");
    EXPECT_EQ(iniValue("[s]\r\nother=1\r\n", "s", "flag"), std::nullopt);
}

TEST(Settings, WritingOneKeyKeepsEveryOtherLine) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        // Replaced in place; comments, blanks, other sections and spellings stay.
        {"; 说明\r\n[其它]\r\nx = 1\r\n\r\n[设置]\r\n上次选择的灯名表=标准\r\n"
         "上次选择的主机型号 = 2\r\nfoo\t= bar\r\n",
         "; 说明\r\n[其它]\r\nx = 1\r\n\r\n[设置]\r\n上次选择的灯名表=标准\r\n"
         "上次选择的主机型号=4\r\nfoo\t= bar\r\n"},
        // Added after the last key of the section, before the next section.
        {"[设置]\r\n上次选择的灯名表=A\r\n\r\n[其它]\r\ny=2\r\n",
         "[设置]\r\n上次选择的灯名表=A\r\n上次选择的主机型号=4\r\n\r\n[其它]\r\ny=2\r\n"},
        // Section appended; an LF file without a final break gets one first.
        {"[其它]\ny=2", "[其它]\ny=2\r\n[设置]\r\n上次选择的主机型号=4\r\n"},
        {"", "[设置]\r\n上次选择的主机型号=4\r\n"},
        {"[设置]", "[设置]\r\n上次选择的主机型号=4\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(writeSetting(gbk(c.before), kLastSystemTypeKey, "4"), gbk(c.after)) << c.before;
    }
    // The file is GBK: "[设置]" is C9 E8 D6 C3 inside the brackets.
    EXPECT_EQ(writeSetting("", kLastLampTableKey, "A").substr(0, 8), "[\xC9\xE8\xD6\xC3]\r\n");
}

TEST(Ini, WriterRefusesWhatCouldNotBeReadBack) {
    const std::string file = "[s]\r\nKey=1\r\n";
    EXPECT_EQ(iniWithValue(file, "S", "key", "5"), "[s]\r\nKey=5\r\n");
    EXPECT_EQ(iniWithValue(file, "s", "key", "2\r\n[x]\r\ny=3"), "[s]\r\nKey=2\r\n");
    EXPECT_EQ(iniWithValue(file, "s", "a=b", "1"), file);
    EXPECT_EQ(iniWithValue(file, "s", ";c", "1"), file);
    EXPECT_EQ(iniWithValue(file, "", "k", "1"), file);
    EXPECT_EQ(iniWithValue(file, "s\nt", "k", "1"), file);
}

// Recent files and typed port paths: one key per entry, newest first; what the file cannot keep
// is left out rather than read back mangled, and every other line stays.
TEST(Settings, ListsKeepOneKeyPerEntry) {
    const std::string before = gbk("[设置]\r\n上次选择的主机型号=3\r\n");
    const std::vector<std::string> items{"/home/张工/房型/A.shd", "", "/dev/pts/7",
                                         std::string(300, 'x'), "C:\\房型\\B.shd"};
    const std::string written = writeSettingList(before, kRecentFileKey, items, 3);
    EXPECT_EQ(readSettingList(written, kRecentFileKey, 3),
              (std::vector<std::string>{"/home/张工/房型/A.shd", "/dev/pts/7", "C:\\房型\\B.shd"}));
    EXPECT_EQ(parseSettings(written).systemTypeSelection, 3);
    EXPECT_EQ(readSetting(written, "最近打开的文件1"), "/home/张工/房型/A.shd");
    // A shorter list empties the keys it no longer uses.
    const std::string shorter = writeSettingList(written, kRecentFileKey, {"/dev/pts/7"}, 3);
    EXPECT_EQ(readSettingList(shorter, kRecentFileKey, 3), std::vector<std::string>{"/dev/pts/7"});
    // Text GBK cannot hold is not kept.
    EXPECT_TRUE(readSettingList(writeSettingList("", kTypedPortKey, {"/dev/😀"}, 5), kTypedPortKey, 5)
                    .empty());
}

TEST(Settings, RememberFirstPutsTheItemFirstOnce) {
    using List = std::vector<std::string>;
    EXPECT_EQ(rememberFirst({}, "a", 3), List{"a"});
    EXPECT_EQ(rememberFirst({"a", "b", "c"}, "c", 3), (List{"c", "a", "b"}));
    EXPECT_EQ(rememberFirst({"a", "b", "c"}, "d", 3), (List{"d", "a", "b"}));
}
