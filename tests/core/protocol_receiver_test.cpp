#include <gtest/gtest.h>

#include "core/protocol/receiver.h"
#include "wire_builders.h"

using namespace room::protocol;
using namespace room::testing;

namespace {

std::vector<Answer> feed(Receiver& receiver, const Bytes& bytes) {
    std::vector<Answer> answers;
    for (std::uint8_t b : bytes) {
        if (auto answer = receiver.push(b)) answers.push_back(*answer);
    }
    return answers;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Bytes kLong = hex({0xF2, 0xF3, 1, 3, 2, 11, 0x21, 0, 0, 0, 0, 0x2A, 0xF3, 0xF4});

}  // namespace

TEST(Receiver, ReassemblesAnswersAcrossSplitsAndNoise) {
    const Bytes shortOne = shortOf({0xED, 4, 0, 1, 10, 11, 0, 0, 0, 0, 10, 11});
    Receiver receiver;
    // Noise before, between and after; the long answer arrives split over two reads.
    EXPECT_TRUE(feed(receiver, hex({0x00, 0x55, 0xF3, 0xF4, 0xF1})).empty());
    EXPECT_TRUE(feed(receiver, Bytes(kLong.begin(), kLong.begin() + 7)).empty());
    std::vector<Answer> got = feed(receiver, Bytes(kLong.begin() + 7, kLong.end()));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].kind, Answer::Kind::Long);
    EXPECT_EQ(got[0].bytes, kLong);
    got = feed(receiver, concat({hex({0x12, 0x0F}), shortOne, hex({0x77}), kLong}));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].kind, Answer::Kind::Short);
    EXPECT_EQ(got[0].bytes, shortOne);
    EXPECT_EQ(got[1].bytes, kLong);
    EXPECT_TRUE(receiver.idle());
}

TEST(Receiver, DropsWhatDoesNotFitAndResynchronises) {
    const Bytes shortOne = shortOf({0xED, 2, 0, 5, 1, 2, 3, 4, 5, 6});
    Bytes badSum = shortOne;
    badSum[15] ^= 0x40;
    Bytes badEnd = shortOne;
    badEnd[16] = 0x1F;
    Bytes magic = shortOne;
    magic[15] = 0x88;
    struct Case {
        const char* name;
        Bytes input;
        std::vector<Bytes> expected;
    };
    const Case cases[] = {
        {"bad short checksum", concat({badSum, shortOne}), {shortOne}},
        {"bad short end byte", concat({badEnd, kLong}), {kLong}},
        {"0x88 is no checksum for the console", magic, {}},
        {"0xF2 not followed by 0xF3", concat({hex({0xF2, 0x01, 0xF3, 0xF4}), kLong}), {kLong}},
        {"a repeated 0xF2 still starts the answer", concat({hex({0xF2}), kLong}), {kLong}},
        {"0xF2 then a short answer", concat({hex({0xF2}), shortOne}), {shortOne}},
        {"garbage only", hex({0x01, 0xF3, 0xF4, 0x0F, 0xEE, 0xF1, 0xF4}), {}},
        // A stray start byte, or a short answer broken off, costs no following answer.
        {"stray 0xF0 before a short answer", concat({hex({0xF0}), shortOne}), {shortOne}},
        {"stray 0xF0 before a long answer", concat({hex({0xF0}), kLong, kLong}), {kLong, kLong}},
        {"short answer cut off before a whole one",
         concat({Bytes(shortOne.begin(), shortOne.begin() + 8), shortOne}), {shortOne}},
        {"end pair inside the data ends the answer",
         hex({0xF2, 0xF3, 1, 3, 0xF3, 0xF4, 0x99, 0xF3, 0xF4}),
         {hex({0xF2, 0xF3, 1, 3, 0xF3, 0xF4})}},
        {"header 0xF3 does not pair with 0xF4", hex({0xF2, 0xF3, 0xF4, 1, 0xF3, 0xF4}),
         {hex({0xF2, 0xF3, 0xF4, 1, 0xF3, 0xF4})}},
    };
    for (const Case& c : cases) {
        Receiver receiver;
        const std::vector<Answer> got = feed(receiver, c.input);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].bytes, c.expected[i]) << c.name;
    }
}

TEST(Receiver, MirrorRuleAcceptsTheMagicChecksum) {
    Bytes magic = shortOf({0xDD, 20, 1});
    magic[15] = 0x88;
    Receiver receiver(Receiver::ShortRule::ChecksumOrMirror);
    EXPECT_EQ(feed(receiver, magic).size(), 1u);
    magic[15] = 0x87;
    EXPECT_TRUE(feed(receiver, magic).empty());
}

TEST(Receiver, LongAnswerLimitIs255Bytes) {
    auto longOf = [](std::size_t size) {
        Bytes out{0xF2, 0xF3};
        out.resize(size - 2, 0x11);
        out.push_back(0xF3);
        out.push_back(0xF4);
        return out;
    };
    Receiver receiver;
    std::vector<Answer> got = feed(receiver, longOf(255));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].bytes.size(), 255u);

    // One byte more and the answer is lost; the receiver is idle and takes the next one.
    got = feed(receiver, concat({longOf(256), kLong}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].bytes, kLong);

    // A runaway answer never completes, however long it runs; the tail is ignored while idle.
    Bytes runaway{0xF2, 0xF3};
    runaway.resize(1000, 0x33);
    EXPECT_TRUE(feed(receiver, runaway).empty());
    EXPECT_TRUE(receiver.idle());
}
