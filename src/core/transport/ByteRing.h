#pragma once

#include <array>
#include <atomic>
#include <span>

// The 1,024-byte receive ring between the receive thread (the only producer) and the
// user-interface thread (the only consumer). Each side advances only its own index and
// publishes it with release after the bytes it covers are in place, so no lock is needed.
// Equal indexes mean empty, so at most 1,023 bytes are pending.
class ByteRing {
public:
    static constexpr int kSize = 1024;
    static constexpr int kCapacity = kSize - 1;
    static_assert((kSize & (kSize - 1)) == 0, "index arithmetic masks with kSize - 1");

    int Available() const;
    int Free() const { return kCapacity - Available(); }
    bool Full() const { return Free() == 0; }

    // Producer side: the contiguous free bytes from the write index, then publish n of them.
    std::span<char> WritableSpan();
    void Commit(int count);
    // Producer side convenience: copies what fits, returns the number of bytes taken.
    int Put(const char *bytes, int count);

    // Consumer side: moves up to max bytes out, returns how many.
    int Take(char *buffer, int max);
    // Consumer side: drops everything pending without touching the producer's index.
    void Discard();

    // Both indexes to 0; only while no producer runs.
    void Reset();

private:
    static int wrap(int index) { return index & (kSize - 1); }

    std::array<char, kSize> bytes_{};
    std::atomic<int> write_{0};
    std::atomic<int> read_{0};
};
