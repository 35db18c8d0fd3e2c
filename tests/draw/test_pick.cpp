#include "draw/pick.h"

#include "platform/clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

// A seed whose next generator result is x: solve state * a + c = x << 16 for
// the state, with a's inverse modulo 2^32 (Newton's iteration doubles the bits
// that are right at every step).
std::uint32_t seed_giving(int x) {
    const std::uint32_t a = 214013u, c = 2531011u;
    std::uint32_t inv = a;
    for (int i = 0; i < 5; ++i)
        inv *= 2u - a * inv;
    return ((static_cast<std::uint32_t>(x) << 16) - c) * inv;
}

struct GeneratorCase {
    const char* name;
    std::uint32_t seed;
    int first, second;
};

const GeneratorCase generator_cases[] = {
    {"SeedOne", 1, 41, 18467},
    {"SeedThousand", 1000, 3304, 8221},
};

class Generator : public testing::TestWithParam<GeneratorCase> {};

TEST_P(Generator, FirstTwoResults) {
    const auto& c = GetParam();
    generator_seed(c.seed);
    EXPECT_EQ(generator_next(), c.first);
    EXPECT_EQ(generator_next(), c.second);
}

INSTANTIATE_TEST_SUITE_P(Table, Generator, testing::ValuesIn(generator_cases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(Generator, ResultsStayIn15Bits) {
    generator_seed(0xFFFFFFFFu);
    for (int i = 0; i < 100000; ++i) {
        const int x = generator_next();
        ASSERT_GE(x, 0);
        ASSERT_LE(x, 32767);
    }
}

// Each ctest test runs in a process of its own, so seed_offset starts at 0 here.
TEST(Reseed, FollowsTheWorkedExample) {
    ASSERT_EQ(seed_offset(), 0u);
    reseed_from_tick(1000);
    EXPECT_EQ(seed_offset(), 332u);
    const int after_first = generator_next();
    generator_seed(1000);
    EXPECT_EQ(after_first, generator_next()) << "first reseed must seed 1000";

    reseed_from_tick(2000);
    EXPECT_EQ(seed_offset(), 460u);
    const int after_second = generator_next();
    generator_seed(2332);
    EXPECT_EQ(after_second, generator_next()) << "second reseed must seed 2332";
}

TEST(Reseed, TwoReseedsAtOneTickGetDifferentSeeds) {
    std::vector<std::uint32_t> offsets{seed_offset()};
    for (int i = 0; i < 1000; ++i) {
        reseed_from_tick(5000);
        offsets.push_back(seed_offset());
        const auto grew = offsets.back() - offsets[offsets.size() - 2];
        ASSERT_GE(grew, 100u);
        ASSERT_LE(grew, 355u);
    }
}

TEST(Reseed, WrapsModulo2To32) {
    reseed_from_tick(0xFFFFFFFFu); // seed 0xFFFFFFFF: offset 0 + 0xFF + 100
    EXPECT_EQ(seed_offset(), 355u);
    reseed_from_tick(0xFFFFFFFFu); // seed wraps to 354: offset 355 + 98 + 100
    EXPECT_EQ(seed_offset(), 553u);
    const int got = generator_next();
    generator_seed(354);
    EXPECT_EQ(got, generator_next());
}

TEST(Reseed, FromClockUsesTheTickCount) {
    const std::uint32_t before = tick_count();
    reseed_from_clock();
    const std::uint32_t after = tick_count();
    // With offset 0 at the start, the seed was the tick count itself, so the
    // offset grew by 100 plus its low byte.
    const std::uint32_t grew = seed_offset();
    EXPECT_GE(grew, 100u);
    EXPECT_LE(grew, 355u);
    bool matched = false;
    for (std::uint32_t t = before; t != after + 1; ++t)
        matched = matched || ((t & 0xFFu) + 100u == grew);
    EXPECT_TRUE(matched);
}

TEST(RandomBetween, ThreeEntriesOverEveryGeneratorResult) {
    std::array<int, 4> counts{};
    for (int x = 0; x < 32768; ++x) {
        generator_seed(seed_giving(x));
        const int r = random_between(1, 3);
        ASSERT_GE(r, 1);
        ASSERT_LE(r, 3);
        ++counts[static_cast<std::size_t>(r)];
    }
    EXPECT_EQ(counts[1], 10923);
    EXPECT_EQ(counts[2], 10923);
    EXPECT_EQ(counts[3], 10922);
}

TEST(RandomBetween, OneEntryDrawsNoNumber) {
    generator_seed(1);
    EXPECT_EQ(random_between(1, 1), 1);
    EXPECT_EQ(random_between(7, 7), 7);
    EXPECT_EQ(generator_next(), 41) << "the generator must not have advanced";
}

TEST(RandomBetween, EntriesPast32768AreNeverDrawn) {
    int highest = 0;
    for (int x = 0; x < 32768; ++x) {
        generator_seed(seed_giving(x));
        highest = std::max(highest, random_between(1, 40000));
    }
    EXPECT_EQ(highest, 32768);
}

TEST(TickCount, IsMonotonicMilliseconds) {
    const std::uint32_t a = tick_count();
    const std::uint32_t b = tick_count();
    EXPECT_LE(static_cast<std::uint32_t>(b - a), 1000u);
}

} // namespace
