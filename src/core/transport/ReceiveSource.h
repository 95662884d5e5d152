#pragma once

#include <optional>
#include <span>

#include <QString>

// What a receive thread reads from: a serial device, or a network connection whose bytes are
// decoded before they reach the ring.
class ReceiveSource {
public:
    virtual ~ReceiveSource() = default;

    struct Got {
        int data = 0;             // bytes of data now at the front of the room
        bool progress = false;    // the descriptor gave bytes (perhaps none of them data)
        bool endOfStream = false; // the other end has gone: nothing more will ever come
        int error = 0;            // errno of a read that failed other than "nothing now"
    };
    // One read from the descriptor into room.
    virtual Got ReadInto(int fd, std::span<char> room) = 0;
    // After the descriptor reported a hang-up, an error or the end of its stream without
    // giving a byte: whether the source is gone for good, and why.
    virtual std::optional<QString> LossOf(const Got &last) = 0;
    // Whether data already taken from the descriptor waits in the source for room in the
    // ring: the next ReadInto gives it without reading the descriptor.
    virtual bool Holding() const { return false; }
    // Forgets such data (the ring was emptied).
    virtual void DropHeld() {}
};
