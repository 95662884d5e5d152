#pragma once

#include <QString>

// Told once per loss, on the thread that uses the link, when the device behind the open link
// goes away (an unplugged adapter, a cut line, a Camera Link port that fails hard).
class LinkLossListener {
public:
    virtual ~LinkLossListener() = default;
    virtual void LinkLost(const QString &device, const QString &reason) = 0;
};
