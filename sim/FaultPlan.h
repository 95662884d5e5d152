#pragma once

#include <map>
#include <optional>

#include <QByteArray>

// Misbehaviour on demand: what the camera does instead of answering normally.
class FaultPlan {
public:
    struct Decision {
        bool silent = false;                  // the line is ignored altogether
        std::optional<QByteArray> refusal;    // answered with this text, not carried out
        int extraDelayMs = 0;
    };

    void StopAnswering() { stopped_ = true; }
    void StopAnsweringAfter(int lines) { answersLeft_ = lines; }
    void ResumeAnswering();
    void SetReplyDelayMs(int ms) { delayMs_ = ms; }
    void ReplaceNextReply(const QByteArray &bytes) { replacement_ = bytes; }
    void Refuse(const QByteArray &mnemonic, const QByteArray &text) { refusals_[mnemonic] = text; }
    void Accept(const QByteArray &mnemonic) { refusals_.erase(mnemonic); }

    // Called once per received line with its upper-case mnemonic.
    Decision OnLine(const QByteArray &mnemonic);
    // The bytes to send instead of the reply that is about to go out, once.
    std::optional<QByteArray> TakeReplacement();

private:
    bool stopped_ = false;
    std::optional<int> answersLeft_;
    int delayMs_ = 0;
    std::optional<QByteArray> replacement_;
    std::map<QByteArray, QByteArray> refusals_;
};
