#include <thread>

#include <gtest/gtest.h>

#include <QByteArray>

#include "core/transport/ByteRing.h"

namespace {

TEST(ByteRing, HoldsAtMostCapacityAndKeepsOrderAcrossTheWrap)
{
    ByteRing ring;
    QByteArray bytes(ByteRing::kSize, '\0');
    for (int i = 0; i < ByteRing::kSize; ++i)
        bytes[i] = static_cast<char>(i);

    EXPECT_EQ(ring.Put(bytes.constData(), ByteRing::kSize), ByteRing::kCapacity);
    EXPECT_TRUE(ring.Full());
    EXPECT_EQ(ring.Put(bytes.constData(), 1), 0);

    char out[ByteRing::kSize];
    ASSERT_EQ(ring.Take(out, 1000), 1000);
    EXPECT_EQ(QByteArray(out, 1000), bytes.left(1000));
    // 23 left at the end; 1000 more wrap round the edge.
    ASSERT_EQ(ring.Put(bytes.constData(), 1000), 1000);
    EXPECT_EQ(ring.Available(), 1023);
    ASSERT_EQ(ring.Take(out, ByteRing::kSize), 1023);
    EXPECT_EQ(QByteArray(out, 23), bytes.mid(1000, 23));
    EXPECT_EQ(QByteArray(out + 23, 1000), bytes.left(1000));
    EXPECT_EQ(ring.Take(out, 1), 0);

    ring.Put("abc", 3);
    ring.Discard();
    EXPECT_EQ(ring.Available(), 0);
    ring.Reset();
    EXPECT_EQ(ring.WritableSpan().size(), static_cast<std::size_t>(ByteRing::kCapacity));
}

TEST(ByteRing, OneProducerAndOneConsumerThreadPassEveryByteInOrder)
{
    ByteRing ring;
    constexpr int kTotal = 200000;
    std::thread producer([&] {
        int sent = 0;
        while (sent < kTotal) {
            char chunk[97];
            const int n = std::min<int>(sizeof chunk, kTotal - sent);
            for (int i = 0; i < n; ++i)
                chunk[i] = static_cast<char>((sent + i) % 251);
            int done = 0;
            while (done < n) {
                done += ring.Put(chunk + done, n - done);
                std::this_thread::yield();
            }
            sent += n;
        }
    });
    int received = 0;
    int wrong = 0;
    char buffer[300];
    while (received < kTotal) {
        const int n = ring.Take(buffer, sizeof buffer);
        for (int i = 0; i < n; ++i)
            wrong += buffer[i] != static_cast<char>((received + i) % 251);
        received += n;
        if (n == 0)
            std::this_thread::yield();
    }
    producer.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(ring.Available(), 0);
}

} // namespace
