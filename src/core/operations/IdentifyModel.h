#pragma once

class CameraModel;
class Command;
class Dialogs;

// Asks the camera for its model name ("MD", 1,000 ms) and records it. An answer that names no
// supported model is reported in a box and recorded as unknown; without an answer the record
// keeps what it had. True when the camera answered.
bool IdentifyModel(Command &command, CameraModel &model, Dialogs &dialogs);
