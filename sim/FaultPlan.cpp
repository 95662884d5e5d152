#include "FaultPlan.h"

void FaultPlan::ResumeAnswering()
{
    stopped_ = false;
    answersLeft_.reset();
}

FaultPlan::Decision FaultPlan::OnLine(const QByteArray &mnemonic)
{
    Decision decision;
    if (answersLeft_) {
        if (*answersLeft_ <= 0)
            stopped_ = true;
        else
            --*answersLeft_;
    }
    if (stopped_) {
        decision.silent = true;
        return decision;
    }
    const auto refusal = refusals_.find(mnemonic);
    if (refusal != refusals_.end())
        decision.refusal = refusal->second;
    decision.extraDelayMs = delayMs_;
    return decision;
}

std::optional<QByteArray> FaultPlan::TakeReplacement()
{
    std::optional<QByteArray> bytes;
    bytes.swap(replacement_);
    return bytes;
}
