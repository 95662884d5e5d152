#pragma once

// Page controls that more than one part of the main window acts on.
inline constexpr int kModelList = 1142;        // "Factory A": the camera model list
inline constexpr int kGainMode = 1259;         // the gain mode list
inline constexpr int kExposureTimeMode = 1224; // the exposure time mode list
inline constexpr int kWhiteBalanceMode = 1408; // the white balance mode list
