#pragma once

class Command;
class ControlFinder;
class ControlTable;

// Reading single parameters back from the camera into the pages.
class CameraReads {
public:
    CameraReads(Command &command, ControlTable &table, const ControlFinder &finder)
        : command_(command), table_(table), finder_(finder)
    {
    }

    // Queries the row's command (5,000 ms); a reply is stored in the table and shown.
    void ReadFromCamera(int controlId);
    // Queries another command (5,000 ms) and only shows the reply in the control.
    void ReadCommandIntoControl(int controlId, int commandId);

private:
    Command &command_;
    ControlTable &table_;
    const ControlFinder &finder_;
};
