#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/transport/TelnetCodec.h"

namespace {

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

std::span<char> Bytes(QByteArray &bytes)
{
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

// Writes events down as text: "253 44" for a verb, "SB 44 650000ff" for a subnegotiation.
class Recorder final : public telnet::DecoderEvents {
public:
    void OptionVerb(unsigned char verb, unsigned char option) override
    {
        events.append(QStringLiteral("%1 %2").arg(verb).arg(option));
    }
    void Subnegotiation(unsigned char option, std::span<const unsigned char> body) override
    {
        const QByteArray bytes(reinterpret_cast<const char *>(body.data()),
                               static_cast<qsizetype>(body.size()));
        events.append(QStringLiteral("SB %1 %2").arg(option).arg(QString::fromLatin1(bytes.toHex())));
    }
    QStringList events;
};

// Feeds stream to one decoder in pieces of the given sizes (the last piece takes the rest).
QByteArray DecodeInPieces(const QByteArray &stream, const std::vector<int> &pieces, Recorder &recorder)
{
    telnet::Decoder decoder;
    QByteArray data;
    qsizetype at = 0;
    for (std::size_t i = 0; at < stream.size(); ++i) {
        QByteArray piece = stream.mid(at, i < pieces.size() ? pieces[i] : -1);
        at += piece.size();
        data += piece.left(decoder.Decode(Bytes(piece), recorder));
    }
    return data;
}

TEST(TelnetCodec, EncodesDataAndComPortRequestsWithEveryIacDoubled)
{
    const auto data = [](const QByteArray &in) {
        QByteArray out("x");
        telnet::AppendData(out, in.constData(), static_cast<int>(in.size()));
        return out;
    };
    struct Case {
        const char *name;
        QByteArray got;
        QByteArray expected;
    } cases[] = {
        {"empty", data({}), Hex("78")},
        {"zero bytes and text", data(Hex("00410d0000")), Hex("7800410d0000")},
        {"iac alone", data(Hex("ff")), Hex("78ffff")},
        {"iac runs and ends", data(Hex("ffff00fe41ff")), Hex("78ffffffff00fe41ffff")},
        {"9600", telnet::SetBaudrateRequest(9600), Hex("fffa2c0100002580fff0")},
        {"255 bit/s", telnet::SetBaudrateRequest(255), Hex("fffa2c01000000fffffff0")},
        {"0x0000ff00", telnet::SetBaudrateRequest(0x0000FF00), Hex("fffa2c010000ffff00fff0")},
        {"all ones", telnet::SetBaudrateRequest(0xFFFFFFFF), Hex("fffa2c01fffffffffffffffffff0")},
        {"8N1", telnet::Line8N1Request(), Hex("fffa2c0208fff0fffa2c0301fff0fffa2c0401fff0")},
        {"purge", telnet::PurgeRequest(), Hex("fffa2c0c03fff0")},
        {"control value iac", telnet::ComPortRequest(telnet::ComPortCommand::SetControl, Hex("ff")),
         Hex("fffa2c05fffffff0")},
        {"no value", telnet::ComPortRequest(telnet::ComPortCommand::FlowcontrolSuspend, {}),
         Hex("fffa2c08fff0")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.got.toHex(), c.expected.toHex()) << c.name;
}

TEST(TelnetCodec, ParsesOnlyWholeServerReplies)
{
    using telnet::ComPortCommand;
    struct Case {
        const char *body;
        std::optional<ComPortCommand> command;
        std::uint32_t value;
    } cases[] = {
        {"6500002580", ComPortCommand::SetBaudrate, 9600},
        {"650000ff00", ComPortCommand::SetBaudrate, 0xFF00},
        {"65000025", std::nullopt, 0},
        {"6608", ComPortCommand::SetDatasize, 8},
        {"660899", ComPortCommand::SetDatasize, 8},
        {"66", std::nullopt, 0},
        {"6c", ComPortCommand::FlowcontrolSuspend, 0},
        {"6d", ComPortCommand::FlowcontrolResume, 0},
        {"6a31", ComPortCommand::NotifyLinestate, 0x31},
        {"7003", ComPortCommand::PurgeData, 3},
        {"0100002580", std::nullopt, 0}, // our own request, not a reply
        {"6400", std::nullopt, 0},
        {"7100", std::nullopt, 0},
        {"", std::nullopt, 0},
    };
    for (const Case &c : cases) {
        const QByteArray body = Hex(c.body);
        const auto reply = telnet::ParseComPortReply(std::span(
            reinterpret_cast<const unsigned char *>(body.constData()), static_cast<std::size_t>(body.size())));
        ASSERT_EQ(reply.has_value(), c.command.has_value()) << c.body;
        if (reply) {
            EXPECT_EQ(reply->command, *c.command) << c.body;
            EXPECT_EQ(reply->value, c.value) << c.body;
        }
    }
}

struct DecodeCase {
    const char *name;
    QByteArray stream;
    QByteArray data;
    QStringList events;
};

std::vector<DecodeCase> DecodeCases()
{
    const QByteArray longBody = QByteArray(telnet::Decoder::kMaxSubnegotiation + 10, 'a');
    return {
        {"data with zero bytes", Hex("00410d00"), Hex("00410d00"), {}},
        {"iac iac", Hex("41ffff42ffff"), Hex("41ff42ff"), {}},
        {"every verb", Hex("fffb03fffc01fffd2cfffe00"), {}, {"251 3", "252 1", "253 44", "254 0"}},
        {"verb on iac option", Hex("fffdff41"), Hex("41"), {"253 255"}},
        {"subnegotiation with doubled iac", Hex("fffa2c650000ffff00fff043"), Hex("43"), {"SB 44 650000ff00"}},
        {"empty subnegotiation", Hex("fffa2cfff0"), {}, {"SB 44 "}},
        {"nop ga dm brk vanish", Hex("41fff142fff943fff244fff345"), Hex("4142434445"), {}},
        {"body cut at its limit", Hex("fffa2c") + longBody + Hex("ffff61fff0") + "z", "z",
         {"SB 44 " + QString::fromLatin1(longBody.left(telnet::Decoder::kMaxSubnegotiation).toHex())}},
        {"command inside a body ends it", Hex("fffa2c6600fffb0141"), Hex("41"), {"SB 44 6600", "251 1"}},
        {"nop inside a body ends it", Hex("fffa2c66fff142"), Hex("42"), {"SB 44 66"}},
        {"sb inside a body starts another", Hex("fffa2c66fffa2c67fff0"), {}, {"SB 44 66", "SB 44 67"}},
        {"iac right after sb", Hex("fffafff041"), Hex("41"), {}},
    };
}

TEST(TelnetCodec, DecodesDataVerbsAndSubnegotiations)
{
    for (const DecodeCase &c : DecodeCases()) {
        Recorder recorder;
        EXPECT_EQ(DecodeInPieces(c.stream, {}, recorder).toHex(), c.data.toHex()) << c.name;
        EXPECT_EQ(recorder.events, c.events) << c.name;
    }
}

TEST(TelnetCodec, EverySplitOfAStreamDecodesAsTheWhole)
{
    QByteArray stream;
    QByteArray data;
    QStringList events;
    for (const DecodeCase &c : DecodeCases()) {
        stream += c.stream;
        data += c.data;
        events += c.events;
    }
    Recorder whole;
    ASSERT_EQ(DecodeInPieces(stream, {}, whole).toHex(), data.toHex());
    ASSERT_EQ(whole.events, events);

    std::vector<std::vector<int>> splits;
    splits.emplace_back(static_cast<std::size_t>(stream.size()), 1);
    for (int at = 1; at < stream.size(); ++at)
        splits.push_back({at});
    std::mt19937 random(2217);
    for (int round = 0; round < 200; ++round) {
        std::vector<int> pieces;
        for (int total = 0; total < stream.size(); total += pieces.back())
            pieces.push_back(std::uniform_int_distribution<int>(0, 9)(random));
        splits.push_back(pieces);
    }
    for (std::size_t i = 0; i < splits.size(); ++i) {
        Recorder pieces;
        EXPECT_EQ(DecodeInPieces(stream, splits[i], pieces).toHex(), data.toHex()) << "split " << i;
        EXPECT_EQ(pieces.events, events) << "split " << i;
    }
}

TEST(TelnetCodec, ResetForgetsAHalfReadCommand)
{
    telnet::Decoder decoder;
    Recorder recorder;
    QByteArray first = Hex("41fffa2c6600ff");
    QByteArray second = Hex("fb0142");
    EXPECT_EQ(decoder.Decode(Bytes(first), recorder), 1);
    decoder.Reset();
    EXPECT_EQ(decoder.Decode(Bytes(second), recorder), 3);
    EXPECT_EQ(second.toHex(), "fb0142");
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST(TelnetCodec, NegotiationAnswersOnceAndNeverLoops)
{
    using telnet::kDo, telnet::kDont, telnet::kWill, telnet::kWont;
    struct Step {
        unsigned char verb;
        unsigned char option;
        const char *answer;
    };
    struct Case {
        const char *name;
        bool offer;
        std::vector<Step> steps;
        bool accepted;
        bool refused;
    } cases[] = {
        {"serial device server at connection", true,
         {{kWill, 3, ""}, {kDo, 3, ""}, {kWill, 1, "fffe01"}, {kDont, 1, ""}, {kDo, 0, ""}, {kWill, 0, ""},
          {kDo, 44, ""}, {kDo, 44, ""}, {kWill, 1, ""}},
         true, false},
        {"server asks first", false,
         {{kDo, 0, "fffb00"}, {kDo, 3, "fffb03"}, {kDo, 44, "fffb2c"}, {kDo, 44, ""}, {kWill, 0, "fffd00"},
          {kWill, 3, "fffd03"}, {kWill, 3, ""}},
         true, false},
        {"unwanted options refused once", false,
         {{kDo, 24, "fffc18"}, {kDo, 24, ""}, {kWill, 1, "fffe01"}, {kWill, 1, ""}, {kWill, 44, "fffe2c"},
          {kDo, 1, "fffc01"}},
         false, false},
        {"off options need no answer", false,
         {{kWont, 1, ""}, {kDont, 5, ""}, {kWont, 0, ""}, {kDo, 5, "fffc05"}, {kWill, 1, "fffe01"}},
         false, false},
        {"our request refused", true, {{kDont, 44, ""}, {kWont, 0, ""}, {kWill, 0, "fffd00"}}, false, true},
        {"refused without asking", false, {{kDont, 44, ""}, {kDont, 44, ""}}, false, true},
        {"turned off then on again", true,
         {{kDo, 44, ""}, {kDont, 44, "fffc2c"}, {kDont, 44, ""}, {kDo, 44, "fffb2c"}, {kWill, 3, ""},
          {kWont, 3, "fffe03"}},
         true, false},
        {"not a verb", true, {{telnet::kSb, 44, ""}, {241, 0, ""}}, false, false},
    };
    for (const Case &c : cases) {
        telnet::Negotiation negotiation;
        if (c.offer) {
            EXPECT_EQ(negotiation.Offers().toHex(), "fffb00fffd00fffb03fffd03fffb2c") << c.name;
        }
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step &step = c.steps[i];
            EXPECT_EQ(negotiation.Answer(step.verb, step.option).toHex(), step.answer)
                << c.name << ", step " << i;
        }
        EXPECT_EQ(negotiation.ComPortAccepted(), c.accepted) << c.name;
        EXPECT_EQ(negotiation.ComPortRefused(), c.refused) << c.name;
        EXPECT_TRUE(negotiation.Offers().isEmpty() || !c.offer) << c.name << ": asked twice";
    }
}

} // namespace
