#pragma once

#include <cstdint>

#include <QString>
#include <QStringList>

// The identified camera: a model code and the name that the camera reported.
// Code 0 and 1 are the two supported models; 2..5 other members of the family; 6 unknown.
class CameraModel {
public:
    static constexpr std::int32_t kSecondModel = 0; // "QN-5200RL-BDXP"
    static constexpr std::int32_t kFirstModel = 1;  // "QN-5200R-BDX"
    static constexpr std::int32_t kUnknown = 6;

    std::int32_t Code() const { return code_; }
    const QString &Name() const { return name_; }
    bool IsSecondModel() const { return code_ == kSecondModel; }
    bool IsFirstModel() const { return code_ == kFirstModel; }
    bool IsOtherFamilyModel() const { return code_ >= 2 && code_ <= 5; }
    bool IsSupported() const { return code_ == kSecondModel || code_ == kFirstModel; }

    // The names of the supported models, the first model's first.
    static QStringList SupportedNames();

    // Takes a reply to "MD": the code follows from an exact, case-sensitive comparison.
    void Assign(const QString &reportedName);
    void SetCode(std::int32_t code) { code_ = code; }

    // False for the commands that the identified model lacks; true for every command when
    // the model is neither of the two supported ones.
    bool IsSupportedCommand(int commandId) const;
    static bool IsSupportedCommand(std::int32_t modelCode, int commandId);

private:
    std::int32_t code_ = kUnknown;
    QString name_;
};
