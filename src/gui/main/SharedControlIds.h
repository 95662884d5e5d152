#pragma once

#include <array>

// Page controls that more than one part of the main window acts on. A control that only one
// file uses keeps its id there.
inline constexpr int kModelList = 1142;        // "Factory A": the camera model list
inline constexpr int kLineRate = 1187;         // the line rate field
inline constexpr int kGainMode = 1259;         // the gain mode list
inline constexpr int kGainAll = 1041;          // the common gain field
inline constexpr int kGainGreen = 1244;        // the individual gain fields
inline constexpr int kGainRed = 1246;
inline constexpr int kGainBlue = 1248;
inline constexpr int kAutoSetting = 1667;      // the gain-auto "Auto setting" button
inline constexpr int kExposureMode = 1092;     // the exposure mode list
inline constexpr int kExposureTime = 1093;     // the common exposure time field
inline constexpr int kTriggerMode = 1096;      // the trigger mode list
inline constexpr int kExposureTimeMode = 1224; // the exposure time mode list
inline constexpr int kWhiteBalanceMode = 1408; // the white balance mode list
inline constexpr int kOpenLutTable = 1132;     // the button that opens the LUT windows
inline constexpr int kPixelGainRecalibrate = 1193;
inline constexpr int kPixelBlackRecalibrate = 1183;
inline constexpr int kPixelGainMode = 1192;    // the pixel correction lists
inline constexpr int kPixelBlackMode = 1184;
inline constexpr int kLutSelector = 1116;      // off, gamma or table
inline constexpr int kGainAuto = 1173;         // the gain auto list
inline constexpr int kSensorSelect = 1195;     // the sensor type list
inline constexpr int kCorrectionMode = 1628;   // the line rate option's correction mode list
// The colour exposure time fields and their spin buttons.
inline constexpr int kExposureTimeRed = 1294;
inline constexpr int kExposureTimeRedSpin = 1295;
inline constexpr int kExposureTimeGreen = 1296;
inline constexpr int kExposureTimeGreenSpin = 1297;
inline constexpr int kExposureTimeBlue = 1298;
inline constexpr int kExposureTimeBlueSpin = 1299;

// The LUT entry fields of one colour: the entry's index and its value.
struct LutEntryFields {
    int indexField;
    int valueField;
};
// G, R, B.
inline constexpr std::array<LutEntryFields, 3> kLutEntryFields = {{{1160, 1162}, {1421, 1423}, {1425, 1427}}};
