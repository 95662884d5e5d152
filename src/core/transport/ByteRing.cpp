#include "core/transport/ByteRing.h"

#include <algorithm>
#include <cstring>

int ByteRing::Available() const
{
    return wrap(write_.load(std::memory_order_acquire) - read_.load(std::memory_order_acquire));
}

std::span<char> ByteRing::WritableSpan()
{
    const int write = write_.load(std::memory_order_relaxed);
    const int read = read_.load(std::memory_order_acquire);
    const int free = wrap(read - write - 1);
    const int contiguous = std::min(free, kSize - write);
    return {bytes_.data() + write, static_cast<std::size_t>(contiguous)};
}

void ByteRing::Commit(int count)
{
    const int write = write_.load(std::memory_order_relaxed);
    write_.store(wrap(write + count), std::memory_order_release);
}

int ByteRing::Put(const char *bytes, int count)
{
    int done = 0;
    while (done < count) {
        const std::span<char> room = WritableSpan();
        if (room.empty())
            break;
        const int chunk = std::min(count - done, static_cast<int>(room.size()));
        std::memcpy(room.data(), bytes + done, static_cast<std::size_t>(chunk));
        Commit(chunk);
        done += chunk;
    }
    return done;
}

int ByteRing::Take(char *buffer, int max)
{
    int read = read_.load(std::memory_order_relaxed);
    const int write = write_.load(std::memory_order_acquire);
    int done = 0;
    while (done < max && read != write) {
        const int end = read < write ? write : kSize;
        const int chunk = std::min(max - done, end - read);
        std::memcpy(buffer + done, bytes_.data() + read, static_cast<std::size_t>(chunk));
        done += chunk;
        read = wrap(read + chunk);
    }
    if (done > 0)
        read_.store(read, std::memory_order_release);
    return done;
}

void ByteRing::Discard()
{
    read_.store(write_.load(std::memory_order_acquire), std::memory_order_release);
}

void ByteRing::Reset()
{
    write_.store(0, std::memory_order_release);
    read_.store(0, std::memory_order_release);
}
