#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "clprotocol/ClProtocolApi.h"

// Finding the camera on a host's port. Device ids are "Vendor#Family#Model#Version#Serial"
// (the short form; a host may put the library's folder and file name in front), every token a
// C name; a template is a left part of one.
struct DeviceTemplate {
    std::string model;   // empty: any model of the family
    std::string version; // a whole device id (a reconnect) names the camera's firmware...
    std::string serial;  // ...and its camera id: another camera on the port is not it
    bool valid = false;  // names this library's vendor (and family, when it names one)
};
DeviceTemplate ParseDeviceTemplate(std::string_view text);

// A C name for a camera text: the characters of a C name kept, anything else '_'.
std::string DeviceToken(std::string_view text);

// The library's templates, tab-separated: the family and each model of it.
std::string ShortDeviceTemplates();

struct ProbeResult {
    std::int32_t modelCode = 6; // unknown
    CLUINT32 rateCode = 0;      // the CL_BAUDRATE bit the camera answered at
    std::string deviceId;
};

// Asks "MD?" at 9600 bit/s, the rate a camera wakes up at. When it stays silent: the wake-up
// burst (fourteen zero bytes at every rate from 115200 down to 9600 bit/s, those the host's port
// can take) and the question at each of those rates in turn, as the tool finds a camera. The
// camera is left at the rate it answered at. Nothing when no camera of the template answers
// or when the stop flag is raised.
std::optional<ProbeResult> ProbeCamera(ISerial &serial, const DeviceTemplate &wanted, CLUINT32 timeoutMs,
                                       const std::atomic<bool> &stop);
