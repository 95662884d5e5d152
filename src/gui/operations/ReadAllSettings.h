#pragma once

class CameraModel;
class Command;
class ControlModeSetting;
class ControlTable;
class CProgressBarDialog;
class OperationGuard;
class QWidget;

// Queries every row of the full-read set that the identified model has, in table order,
// under the progress window, and stores each reply in the control table. A failed query
// keeps the row's value and the read goes on. Nothing is queried from an unknown model.
struct SettingsReader {
    ControlTable &table;
    Command &command;
    const CameraModel &model;
    const ControlModeSetting &controlMode;
    CProgressBarDialog &progress;
    OperationGuard &operations;

    void ReadAllSettings(QWidget *owner);
};
