#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>

#include <QByteArray>
#include <QString>

#include "CameraState.h"
#include "ParameterLimits.h"

// What the camera does with one line.
struct CameraReply {
    std::optional<QByteArray> line; // without CR LF; nullopt: the camera says nothing
    int workMs = 0;                 // the camera is busy this long before it answers
    std::optional<int> newBaud;     // takes effect once the reply has gone out
    bool persistentChanged = false; // areas, boot area or identification changed
};

// The camera's command interpreter and parameter memory, without any I/O: a line in, a
// reply out. Time comes in with every line so that counters and temperature are testable.
class CommandProcessor {
public:
    // asShipped: power on with the values of a camera as shipped instead of the bare set.
    explicit CommandProcessor(const QString &model = QStringLiteral("QN-5200RL-BDXP"), int procedureMs = 200,
                              bool asShipped = false);

    // line: what arrived before the LF; a CR at its end is dropped here.
    CameraReply Process(const QByteArray &line, std::int64_t nowUs);

    // The mnemonic a line addresses (upper case, trimmed), empty when it has none.
    static QByteArray MnemonicOfLine(const QByteArray &line);

    int Baud() const { return baud_; }
    void SetBaud(int baud) { baud_ = baud; }
    QString Model() const { return persistent_.identity.model; }
    void SetModel(const QString &model);
    int ModelCode() const { return modelCode_; }

    std::optional<std::int64_t> Value(const QString &mnemonic) const;
    bool SetValue(const QString &mnemonic, std::int64_t value);
    QString Text(const QString &mnemonic) const;
    bool SetText(const QString &mnemonic, const QString &text); // bypasses checks and limits
    std::int64_t LutEntry(int channelIndexId, int index) const; // channelIndexId: LUTIG/LUTIR/LUTIB
    std::int64_t ShadingEntry(int channel, int index) const;    // index 1..1024
    void SetShadingEntry(int channel, int index, std::int64_t value);

    // Start or status mnemonic of a procedure; the code sticks for every later run.
    bool ForceResultCode(const QString &mnemonic, int code);

    const PersistentState &Persistent() const { return persistent_; }
    void Restore(const PersistentState &state); // then boots from the boot area
    // As after switching on: every parameter at its default or what the boot area holds,
    // the link at 9600 bit/s; flash, identification and the tables are kept.
    void PowerUp(std::int64_t nowUs);

private:
    using Setter = CameraReply (CommandProcessor::*)(int id, const QByteArray &value, std::int64_t nowUs);
    using Getter = QByteArray (CommandProcessor::*)(int id, std::int64_t nowUs);
    struct Handler {
        int firstId;
        int lastId;
        Setter set;
        Getter query;
    };
    static constexpr int kHandlerCount = 26;
    static const std::array<Handler, kHandlerCount> kHandlers;

    const Handler *handlerOf(int id) const;
    ParameterSet defaultValues() const;
    void bootFromFlash();
    void restart(std::int64_t nowUs);
    static CameraReply answer(const QByteArray &line);
    static CameraReply complete();

    CameraReply setPlain(int id, const QByteArray &value, std::int64_t nowUs);
    QByteArray queryPlain(int id, std::int64_t nowUs);
    CameraReply setReadOnly(int id, const QByteArray &value, std::int64_t nowUs);
    CameraReply setText(int id, const QByteArray &value, std::int64_t nowUs);
    QByteArray queryText(int id, std::int64_t nowUs);
    CameraReply setBaudCode(int id, const QByteArray &value, std::int64_t nowUs);
    QByteArray queryBaudCode(int id, std::int64_t nowUs);
    CameraReply setReset(int id, const QByteArray &value, std::int64_t nowUs);
    CameraReply setWindow(int id, const QByteArray &value, std::int64_t nowUs);
    CameraReply setBinning(int id, const QByteArray &value, std::int64_t nowUs);
    QByteArray queryComputed(int id, std::int64_t nowUs);
    CameraReply setProcedure(int id, const QByteArray &value, std::int64_t nowUs);
    QByteArray queryStatus(int id, std::int64_t nowUs);
    CameraReply setLutValue(int id, const QByteArray &value, std::int64_t nowUs);
    QByteArray queryLutValue(int id, std::int64_t nowUs);
    CameraReply setShadingValue(int id, const QByteArray &value, std::int64_t nowUs);
    QByteArray queryShadingValue(int id, std::int64_t nowUs);
    CameraReply setLoad(int id, const QByteArray &value, std::int64_t nowUs);
    CameraReply setStore(int id, const QByteArray &value, std::int64_t nowUs);
    CameraReply setBootArea(int id, const QByteArray &value, std::int64_t nowUs);
    CameraReply setUnlock(int id, const QByteArray &value, std::int64_t nowUs);
    CameraReply setCounter(int id, const QByteArray &value, std::int64_t nowUs);
    QByteArray queryCounter(int id, std::int64_t nowUs);

    QByteArray reply(int id, const QByteArray &value) const;
    QByteArray reply(int id, std::int64_t value) const;
    std::optional<std::int64_t> parseInRange(int id, const QByteArray &value, CameraReply &refusal) const;
    QString *textOf(int id);
    void loadArea(int area);
    void storeArea(int area);
    void advanceCounter(int counter, std::int64_t nowUs);
    std::int64_t linePeriod() const;
    std::int64_t &lutCell(int indexId);
    std::int64_t &shadingCell();

    const ParameterSpecs &specs_;
    int procedureMs_;
    bool asShipped_;
    int baud_ = 9600;
    int modelCode_ = 6;
    bool unlocked_ = false;
    std::optional<std::int64_t> powerOnUs_;
    ParameterSet values_{};
    PersistentState persistent_;
    std::array<std::array<std::int64_t, 256>, 3> lut_{};      // in the order G, R, B
    std::array<std::array<std::int64_t, 1024>, 3> shading_{}; // channels 0 G, 1 R, 2 B
    std::map<int, int> forcedCodes_;                          // status id -> result code
    std::map<int, int> busyPolls_;                            // status id -> polls left
    struct Counter {
        std::int64_t count = 0;
        std::int64_t markUs = 0;
    };
    std::array<Counter, 4> counters_{};
};
