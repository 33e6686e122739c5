#include "common/ByteBuffer.h"
#include "common/IRectangle.h"
#include "common/PointerList.h"
#include "common/TextCopy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(ByteBuffer, ResizeKeepsBytesZeroesNewOnesAndReportsPreviousSize) {
    ByteBuffer buffer(16);
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Resize(5), 0);
    std::memcpy(buffer.Data(), "abcde", 5);
    EXPECT_EQ(buffer.Resize(40), 5);
    EXPECT_EQ(std::memcmp(buffer.Data(), "abcde", 5), 0);
    for (size_t i = 5; i < 40; ++i) {
        ASSERT_EQ(buffer.Data()[i], 0) << i;
    }
    EXPECT_EQ(buffer.Resize(2), 40);
    EXPECT_EQ(buffer.Resize(4), 2);
    EXPECT_EQ(buffer.Data()[2], 0) << "bytes regained after shrinking read as zero";
}

TEST(ByteBuffer, NeverShrinksItsStorageSoReuseDoesNotMoveIt) {
    ByteBuffer buffer(4096);
    buffer.Resize(3000);
    const std::uint8_t* storage = buffer.Data();
    buffer.Resize(10);
    buffer.Resize(4096);
    EXPECT_EQ(buffer.Data(), storage);
}

TEST(ByteBuffer, AppendGrowsAndRefusesImpossibleSizes) {
    ByteBuffer buffer(8);
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(buffer.Append(&i, sizeof i));
    }
    ASSERT_EQ(buffer.Size(), 100 * sizeof(int));
    EXPECT_EQ(reinterpret_cast<const int*>(buffer.Data())[99], 99);
    EXPECT_EQ(buffer.Resize(SIZE_MAX), -1);
    EXPECT_EQ(buffer.Size(), 100 * sizeof(int)) << "a failed resize changes nothing";
    EXPECT_FALSE(buffer.Append("x", SIZE_MAX));
}

namespace {
struct Tracked {
    explicit Tracked(int id, std::vector<int>* log) : id(id), log(log) {}
    ~Tracked() { log->push_back(id); }
    int id;
    std::vector<int>* log;
};
} // namespace

TEST(PointerList, OwningListDeletesLastInFirstOutAndRemoveShiftsDown) {
    std::vector<int> deleted;
    {
        PointerList<Tracked> list(true, 32);
        for (int i = 0; i < 10; ++i) {
            Tracked* added = list.Append(new Tracked(i, &deleted));
            ASSERT_EQ(added->id, i);
        }
        list.Remove(3);
        EXPECT_EQ(deleted, std::vector<int>{3});
        EXPECT_EQ(list.Count(), 9);
        EXPECT_EQ(list.Get(3)->id, 4);
        EXPECT_EQ(list.Get(9), nullptr);
        EXPECT_EQ(list.Get(-1), nullptr);
        list.Remove(42);
        EXPECT_EQ(list.Count(), 9);
    }
    EXPECT_EQ(deleted, (std::vector<int>{3, 9, 8, 7, 6, 5, 4, 2, 1, 0}));
}

TEST(PointerList, ObserverListDoesNotDelete) {
    std::vector<int> deleted;
    Tracked kept(1, &deleted);
    {
        PointerList<Tracked> list(false, 32);
        list.Append(&kept);
        list.Remove(0);
        list.Append(&kept);
    }
    EXPECT_TRUE(deleted.empty());
}

TEST(IRectangle, HitOverlapUnionAndIntersectionFollowTheEdgeRules) {
    const IRectangle empty;
    const IRectangle a(10, 10, 20, 20);
    EXPECT_TRUE(empty.Empty());
    EXPECT_FALSE(IRectangle(0, 0, 0, 1).Empty());
    EXPECT_TRUE(a.Contains(10, 10));
    EXPECT_FALSE(a.Contains(20, 15)) << "right edge is exclusive";
    EXPECT_FALSE(a.Contains(15, 20)) << "bottom edge is exclusive";
    EXPECT_FALSE(empty.Contains(0, 0));

    EXPECT_TRUE(a.Overlaps(IRectangle(20, 20, 30, 30))) << "touching on the right/bottom overlaps";
    EXPECT_FALSE(IRectangle(20, 20, 30, 30).Overlaps(a)) << "the rule is not symmetric";
    EXPECT_FALSE(a.Overlaps(empty));
    EXPECT_FALSE(a.Overlaps(IRectangle(21, 0, 30, 5)));

    EXPECT_EQ(a.Union(empty), a);
    EXPECT_EQ(empty.Union(a), a);
    EXPECT_EQ(a.Union(IRectangle(0, 15, 12, 40)), IRectangle(0, 10, 20, 40));

    EXPECT_EQ(a.Intersection(IRectangle(15, 5, 30, 18)), IRectangle(15, 10, 20, 18));
    EXPECT_TRUE(a.Intersection(IRectangle(30, 30, 40, 40)).Empty());
}

TEST(TextCopy, CutsToTheFieldAndTerminates) {
    char field[8];
    CopyText(field, "Vortalizer", sizeof field);
    EXPECT_STREQ(field, "Vortali");
    CopyText(field, nullptr, sizeof field);
    EXPECT_STREQ(field, "");
}
