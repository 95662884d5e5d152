#pragma once

#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

#include <QByteArray>

#include "core/transport/TelnetCodec.h"

// What the Telnet decoder made of a byte stream: the data and every event, in order, for the
// fuzz targets to compare.
struct TelnetEvent {
    unsigned char verb = 0; // 0 for a subnegotiation
    unsigned char option = 0;
    QByteArray body;
    bool operator==(const TelnetEvent &) const = default;
};

struct TelnetTranscript {
    QByteArray data;
    std::vector<TelnetEvent> events;
    bool operator==(const TelnetTranscript &) const = default;
};

class TelnetRecorder final : public telnet::DecoderEvents {
public:
    explicit TelnetRecorder(std::vector<TelnetEvent> &events) : events_(events) {}
    void OptionVerb(unsigned char verb, unsigned char option) override { events_.push_back({verb, option, {}}); }
    void Subnegotiation(unsigned char option, std::span<const unsigned char> body) override
    {
        events_.push_back({0, option,
                           QByteArray(reinterpret_cast<const char *>(body.data()), static_cast<qsizetype>(body.size()))});
    }

private:
    std::vector<TelnetEvent> &events_;
};

// Feeds the bytes to the decoder in pieces of the given size (all at once for 0); aborts when a
// piece yields more data than it holds.
inline TelnetTranscript DecodeInPieces(telnet::Decoder &decoder, const QByteArray &bytes, qsizetype piece)
{
    TelnetTranscript transcript;
    TelnetRecorder recorder(transcript.events);
    const qsizetype step = piece > 0 ? piece : std::max<qsizetype>(bytes.size(), 1);
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        QByteArray chunk = bytes.mid(at, step);
        const int data = decoder.Decode(std::span<char>(chunk.data(), static_cast<std::size_t>(chunk.size())), recorder);
        if (data < 0 || data > chunk.size())
            std::abort();
        transcript.data += chunk.left(data);
    }
    return transcript;
}
