// A device's difference as the hand-over report words it: lamp names where the record has them,
// the bytes of every shape the checks write told as expected, received and where, and anything
// else left as the console said it.

#include "core/records/difference_words.h"

#include <gtest/gtest.h>

namespace {

TEST(DifferenceWords, KnownShapesInWordsOthersAsTheyAre) {
    const std::pair<const char*, const char*> cases[] = {
        {"按键第01个数据异常 0A 0B  按键1: 应为010.廊灯, 实为013.夜灯",
         "按键1: 应为010.廊灯, 实为013.夜灯"},
        {"继电器第03个数据异常 0A -- ", "继电器第03个数据异常: 应为0A, 未收到"},
        {"第01个参数数据异常 05 -- ", "第01个参数数据异常: 应为05, 未收到"},
        {"第02个面板模式数据异常 EE 0A 43 ", "第02个面板模式数据异常 EE 0A 43 "},
        {"第03个开关模式数据异常 3F -- 1D ", "第03个开关模式数据异常: 应为3F, 未收到 (第29字节)"},
        {"第04个面板模式数据异常 -- 07 0B ", "第04个面板模式数据异常: 第11字节的模式代码07无效"},
        {"第04个面板模式数据异常 -- -- 25 ",
         "第04个面板模式数据异常: 回答不完整, 缺第37字节起的模式"},
        {"第05个面板数据无效 63 12 ", "第05个面板数据无效: 第18字节为63, 不是有效值"},
        {"第06个面板长度异常 37 28 ", "第06个面板长度异常: 标明长度55字节, 实收40字节"},
        {"第07个面板校验和异常 A1 A2 ", "第07个面板校验和异常: 应为A1, 实为A2"},
        // Already words, or a shape the bytes do not fit: as the console showed them.
        {"第08个面板编号冲突", "第08个面板编号冲突"},
        {"第10个面板ID数据不匹配,本编号01 读出编号02",
         "第10个面板ID数据不匹配,本编号01 读出编号02"},
        {"第 1 继电器模式数据异常", "第 1 继电器模式数据异常"},
        {"第02个面板模式数据异常 EE 0A 143 ", "第02个面板模式数据异常 EE 0A 143 "},
        {"第01个参数数据异常 5 ", "第01个参数数据异常 5 "},
        {"", ""},
    };
    for (const auto& [text, words] : cases) {
        EXPECT_EQ(room::records::differenceInWords(text), words) << text;
    }
}

}  // namespace
