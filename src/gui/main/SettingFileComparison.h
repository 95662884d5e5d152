#pragma once

#include <functional>

#include "gui/tools/SettingFileCompareWindow.h"

class CameraModel;
class ParameterCatalog;
struct SettingFileDiff;

// A camera's comparison with a setting file as the compare window shows it: each difference
// named by its page, group and label, values as the pages show them, and a summary that never
// reads as a match when nothing was compared or something was not read.
CompareResult CompareResultOf(const SettingFileDiff &diff, const QString &path, const ParameterCatalog &catalog,
                              const std::function<QString(int controlId)> &pageOf, const CameraModel &model,
                              bool extendedMode);
