// The queue that carries the editor's edits to the audio thread.

#include "plugin/EditQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

QueuedEdit Edit(int paramIdx, double value) {
    QueuedEdit edit;
    edit.paramIdx = paramIdx;
    edit.value = value;
    return edit;
}

} // namespace

TEST(EditQueue, KeepsOrderAcrossTheRingsEndAndRefusesWhenFull) {
    auto queue = std::make_unique<EditQueue>();
    QueuedEdit out;
    EXPECT_FALSE(queue->Pop(&out));
    int next = 0;
    // Three rounds of filling and draining move the indices around the ring several times.
    for (int round = 0; round < 3; ++round) {
        const int first = next;
        for (std::uint32_t i = 0; i < EditQueue::kCapacity; ++i) {
            ASSERT_TRUE(queue->Push(Edit(next++, 0.5)));
        }
        EXPECT_FALSE(queue->Push(Edit(-1, 0.0)));
        for (int expected = first; expected < next; ++expected) {
            ASSERT_TRUE(queue->Pop(&out));
            ASSERT_EQ(out.paramIdx, expected);
        }
        EXPECT_FALSE(queue->Pop(&out));
        // Half a ring more, so the next round starts mid-ring.
        for (std::uint32_t i = 0; i < EditQueue::kCapacity / 2; ++i) {
            ASSERT_TRUE(queue->Push(Edit(7, 0.25)));
            ASSERT_TRUE(queue->Pop(&out));
        }
    }
}

TEST(EditQueue, ProducersOnSeveralThreadsLoseNothingAndKeepTheirOwnOrder) {
    auto queue = std::make_unique<EditQueue>();
    constexpr int kProducers = 3;
    constexpr int kEach = 20000;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&queue, p] {
            for (int i = 0; i < kEach;) {
                if (queue->Push(Edit(p, double(i)))) {
                    ++i;
                }
            }
        });
    }
    std::vector<int> nextOf(kProducers, 0);
    int received = 0;
    QueuedEdit out;
    while (received < kProducers * kEach) {
        if (!queue->Pop(&out)) {
            continue;
        }
        ASSERT_EQ(out.value, double(nextOf[size_t(out.paramIdx)])) << "producer " << out.paramIdx;
        ++nextOf[size_t(out.paramIdx)];
        ++received;
    }
    for (auto& producer : producers) {
        producer.join();
    }
    EXPECT_FALSE(queue->Pop(&out));
}
