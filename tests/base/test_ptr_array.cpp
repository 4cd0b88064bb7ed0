#include "base/PtrArray.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

// Distinct, stable addresses to store; item(i) stands for "item number i".
char cells[1200];
void* item(int i) { return &cells[i]; }
int number(void* p) { return static_cast<int>(static_cast<char*>(p) - cells); }

std::vector<int> contents(const PtrArray& array) {
    std::vector<int> result;
    for (int i = 0; i < array.count(); ++i)
        result.push_back(number(array.at(i)));
    return result;
}

void fill(PtrArray& array, int n) {
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(array.add(item(i)), i);
}

std::vector<int> range(int first, int end) {
    std::vector<int> result;
    for (int i = first; i < end; ++i)
        result.push_back(i);
    return result;
}

// Writes down every item it is asked to dispose, into a log that outlives it.
class RecordingArray : public PtrArray {
public:
    explicit RecordingArray(std::vector<int>& log) : PtrArray(10), mLog(log) {}

protected:
    void disposeItem(void* p) override { mLog.push_back(number(p)); }

private:
    std::vector<int>& mLog;
};

TEST(PtrArrayGrowth, NewArrayIsEmpty) {
    PtrArray array(10);
    EXPECT_EQ(array.count(), 0);
    EXPECT_EQ(array.growBy(), 10);
}

TEST(PtrArrayGrowth, AddingAcrossGrowthStepsKeepsEveryItem) {
    PtrArray array(10);
    fill(array, 9);
    EXPECT_EQ(array.add(item(9)), 9);    // count reaches 10: first regrowth
    EXPECT_EQ(array.add(item(10)), 10);  // first item in the new slots
    for (int i = 11; i < 35; ++i)
        ASSERT_EQ(array.add(item(i)), i);
    EXPECT_EQ(contents(array), range(0, 35));
}

TEST(PtrArrayGrowth, ShrinkingBackKeepsItems) {
    PtrArray array(10);
    fill(array, 10);
    array.removeAt(9, 1);  // count drops below 10: slot array shrinks
    EXPECT_EQ(contents(array), range(0, 9));
    EXPECT_EQ(array.add(item(9)), 9);
    EXPECT_EQ(array.add(item(10)), 10);
    EXPECT_EQ(contents(array), range(0, 11));

    array.removeAt(0, 11);
    EXPECT_EQ(array.count(), 0);
    EXPECT_EQ(array.add(item(5)), 0);
    EXPECT_EQ(contents(array), std::vector<int>{5});
}

TEST(PtrArrayGrowth, GrowthStepOfOneAndBelow) {
    PtrArray one(1);
    PtrArray zero(0);  // taken as 1
    EXPECT_EQ(zero.growBy(), 1);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(one.add(item(i)), i);
        ASSERT_EQ(zero.insertAt(0, item(i)), 0);
    }
    EXPECT_EQ(contents(one), range(0, 20));
    const std::vector<int> ascending = range(0, 20);
    EXPECT_EQ(contents(zero),
              std::vector<int>(ascending.rbegin(), ascending.rend()));
}

TEST(PtrArraySetCount, GrowingKeepsItemsAndShrinkingDropsTheTail) {
    PtrArray array(10);
    fill(array, 3);
    ASSERT_TRUE(array.setCount(25));
    EXPECT_EQ(array.count(), 25);
    EXPECT_EQ(array.at(2), item(2));
    ASSERT_TRUE(array.setCount(2));
    EXPECT_EQ(contents(array), range(0, 2));
}

TEST(PtrArraySetCount, RefusesImpossibleCountsAndChangesNothing) {
    PtrArray array(10);
    fill(array, 12);
    void* const* before = array.items();
    EXPECT_FALSE(array.setCount(-1));
    // Needs more slots than an int can count, so it is refused before any
    // allocation is tried.
    EXPECT_FALSE(array.setCount(INT_MAX));
    EXPECT_EQ(array.items(), before);
    EXPECT_EQ(contents(array), range(0, 12));
    EXPECT_EQ(array.add(item(12)), 12);
}

TEST(PtrArrayInsert, AtZeroOnEmptyArrayReturnsZero) {
    PtrArray array(10);
    EXPECT_EQ(array.insertAt(0, item(7)), 0);
    EXPECT_EQ(contents(array), std::vector<int>{7});
}

TEST(PtrArrayInsert, AtOrPastCountAppends) {
    PtrArray array(10);
    fill(array, 3);
    EXPECT_EQ(array.insertAt(5, item(3)), 3);
    EXPECT_EQ(array.insertAt(4, item(4)), 4);
    EXPECT_EQ(contents(array), range(0, 5));
}

TEST(PtrArrayInsert, ShiftsFollowingItemsUpInOrder) {
    PtrArray array(10);
    fill(array, 10);  // full step: inserting regrows while shifting
    EXPECT_EQ(array.insertAt(0, item(100)), 0);
    EXPECT_EQ(array.insertAt(5, item(101)), 5);
    EXPECT_EQ(array.insertAt(11, item(102)), 11);
    const std::vector<int> expected = {100, 0, 1, 2, 3, 101, 4, 5,
                                       6,   7, 8, 102, 9};
    EXPECT_EQ(contents(array), expected);
}

TEST(PtrArrayInsert, NegativeIndexIsRefused) {
    PtrArray array(10);
    fill(array, 2);
    EXPECT_EQ(array.insertAt(-1, item(9)), -1);
    EXPECT_EQ(contents(array), range(0, 2));
}

TEST(PtrArrayRemove, PastTheEndDoesNothing) {
    std::vector<int> disposed;
    RecordingArray array(disposed);
    fill(array, 7);
    array.removeAt(7, 1);
    array.removeAt(100, 3);
    array.removeAt(-1, 1);
    EXPECT_EQ(contents(array), range(0, 7));
    EXPECT_TRUE(disposed.empty());
}

TEST(PtrArrayRemove, NonPositiveCountDisposesNothing) {
    std::vector<int> disposed;
    RecordingArray array(disposed);
    fill(array, 5);
    array.removeAt(2, 0);
    array.removeAt(2, -3);
    EXPECT_EQ(contents(array), range(0, 5));
    EXPECT_TRUE(disposed.empty());
}

TEST(PtrArrayRemove, DisposesExactlyTheRemovedRunInAscendingOrder) {
    std::vector<int> disposed;
    RecordingArray array(disposed);
    fill(array, 12);
    array.removeAt(3, 4);
    EXPECT_EQ(disposed, range(3, 7));
    const std::vector<int> expected = {0, 1, 2, 7, 8, 9, 10, 11};
    EXPECT_EQ(contents(array), expected);

    disposed.clear();
    array.removeAt(0, 1);
    array.removeAt(array.count() - 1, 1);
    EXPECT_EQ(disposed, (std::vector<int>{0, 11}));
    EXPECT_EQ(contents(array), (std::vector<int>{1, 2, 7, 8, 9, 10}));
}

TEST(PtrArrayRemove, RunPastTheEndStopsAtTheEnd) {
    std::vector<int> disposed;
    RecordingArray array(disposed);
    fill(array, 6);
    array.removeAt(4, 10);
    EXPECT_EQ(disposed, range(4, 6));
    EXPECT_EQ(contents(array), range(0, 4));
}

TEST(PtrArrayRemove, RemoveAllDisposesEveryItemThenEmpties) {
    std::vector<int> disposed;
    RecordingArray array(disposed);
    fill(array, 23);
    array.removeAll();
    EXPECT_EQ(disposed, range(0, 23));
    EXPECT_EQ(array.count(), 0);
    EXPECT_EQ(array.add(item(1)), 0);

    disposed.clear();
    PtrArray& base = array;
    base.removeAll();  // disposeItem is reached through the base too
    EXPECT_EQ(disposed, std::vector<int>{1});
}

// An array that owns what it holds, the way the program's lists do.
struct Counted {
    explicit Counted(int& count) : alive(count) { ++alive; }
    ~Counted() { --alive; }
    int& alive;
};

class OwningArray : public PtrArray {
public:
    OwningArray() : PtrArray(10) {}
    ~OwningArray() override { deleteAll<Counted>(); }
    int append(Counted* counted) { return addOwned(counted); }
    int insert(int index, Counted* counted) { return insertOwned(index, counted); }
};

TEST(PtrArrayLifetime, AnOwnedItemIsInTheArrayOrDeleted) {
    int alive = 0;
    {
        OwningArray array;
        EXPECT_EQ(array.append(new Counted(alive)), 0);
        EXPECT_EQ(array.insert(0, new Counted(alive)), 0);
        EXPECT_EQ(array.append(nullptr), -1) << "an item that could not be made";
        EXPECT_EQ(array.insert(-1, new Counted(alive)), -1);
        EXPECT_EQ(alive, 2) << "the refused one is gone at once";
        EXPECT_EQ(array.count(), 2);
    }
    EXPECT_EQ(alive, 0) << "deleteAll took the rest";
}

TEST(PtrArrayLifetime, DestructorDisposesNothing) {
    std::vector<int> disposed;
    {
        RecordingArray array(disposed);
        fill(array, 15);
    }
    EXPECT_TRUE(disposed.empty());

    // Same through a base pointer: the destructor is virtual.
    PtrArray* owned = new RecordingArray(disposed);
    owned->add(item(0));
    delete owned;
    EXPECT_TRUE(disposed.empty());
}

TEST(PtrArrayBulk, ThousandAddsThenRemovesKeepOrder) {
    PtrArray array(10);
    fill(array, 1000);
    ASSERT_EQ(contents(array), range(0, 1000));

    // Cut runs of 7 a third of the way in, so both the removed run and the
    // moved tail vary in length; a plain vector does the same alongside.
    std::vector<int> model = range(0, 1000);
    while (array.count() > 7) {
        const int index = array.count() / 3;
        array.removeAt(index, 7);
        model.erase(model.begin() + index, model.begin() + index + 7);
        ASSERT_EQ(contents(array), model);
    }
    array.removeAll();
    EXPECT_EQ(array.count(), 0);
}

TEST(PtrArrayBulk, MixedOperationsMatchAVector) {
    PtrArray array(10);
    std::vector<int> model;
    std::uint32_t state = 12345u;  // fixed seed: same sequence every run
    auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % bound);
    };
    for (int step = 0; step < 3000; ++step) {
        const int value = next(1200);
        const int size = static_cast<int>(model.size());
        switch (next(4)) {
        case 0:
            ASSERT_EQ(array.add(item(value)), size);
            model.push_back(value);
            break;
        case 1: {
            const int index = next(static_cast<std::uint32_t>(size) + 2);
            const int at = array.insertAt(index, item(value));
            ASSERT_EQ(at, index < size ? index : size);
            model.insert(model.begin() + at, value);
            break;
        }
        default:
            if (size > 0) {
                const int index = next(static_cast<std::uint32_t>(size));
                const int n = 1 + next(static_cast<std::uint32_t>(
                    size - index < 12 ? size - index : 12));
                array.removeAt(index, n);
                model.erase(model.begin() + index, model.begin() + index + n);
            }
            break;
        }
        ASSERT_EQ(contents(array), model) << "after step " << step;
    }
}

}  // namespace
