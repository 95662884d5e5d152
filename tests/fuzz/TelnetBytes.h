#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include <QByteArray>

#include "core/transport/TelnetCodec.h"

// Input bytes below 16 stand for the bytes Telnet gives meaning to, so that the bounded driver's
// random input speaks the protocol too (libFuzzer finds them with the targets' dictionaries).
inline QByteArray TelnetBytes(const std::uint8_t *data, std::size_t size)
{
    using namespace telnet;
    static constexpr unsigned char kSpoken[16] = {kIac, kIac, kSb, kSe, kWill, kWont, kDo, kDont,
                                                  kOptionComPort, kOptionBinary, kOptionSuppressGoAhead,
                                                  kOptionEcho, 101, 102, 0, 4};
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (char &byte : bytes)
        byte = static_cast<unsigned char>(byte) < 16 ? static_cast<char>(kSpoken[static_cast<unsigned char>(byte)]) : byte;
    return bytes;
}

// What the decoder makes of a byte stream fed in pieces of the given size: the data and every
// event (verb or 0 for a subnegotiation, option, body); aborts when a piece yields more data
// than it holds.
struct TelnetTranscript final : telnet::DecoderEvents {
    QByteArray data;
    std::vector<QByteArray> events;

    TelnetTranscript(const QByteArray &bytes, qsizetype piece)
    {
        telnet::Decoder decoder;
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            QByteArray chunk = bytes.mid(at, piece);
            const int count = decoder.Decode(std::span<char>(chunk.data(), static_cast<std::size_t>(chunk.size())), *this);
            if (count < 0 || count > chunk.size())
                std::abort();
            data += chunk.left(count);
        }
    }
    void OptionVerb(unsigned char verb, unsigned char option) override { events.push_back(event(verb, option)); }
    void Subnegotiation(unsigned char option, std::span<const unsigned char> body) override
    {
        events.push_back(event(0, option) +
                         QByteArray(reinterpret_cast<const char *>(body.data()), static_cast<qsizetype>(body.size())));
    }
    static QByteArray event(unsigned char verb, unsigned char option)
    {
        const char bytes[2] = {static_cast<char>(verb), static_cast<char>(option)};
        return QByteArray(bytes, 2);
    }
    bool operator==(const TelnetTranscript &other) const { return data == other.data && events == other.events; }
};
