#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "gui/main/BindingServices.h"

class AberrationGroup;

// The push buttons of the pages, each running one operation: readouts filled on request,
// single LUT entries, the XML version, the camera model id, the camera reset and the
// terminal. Operations that live with other windows are reached through hooks.
class PageButtons {
public:
    struct WindowHooks {
        std::function<bool()> identifyModel;
        // Closes the main window without the exit question.
        std::function<void()> closeWithoutQuestion;
        std::function<void()> showTerminal;
        std::function<void()> showLutWindows;
    };

    // Buttons whose operations belong to the calibration, shading-data and flash-set work;
    // they do nothing until those install theirs.
    enum class LaterOperation {
        ShadingCalibration,
        RecalibratePixelGain,
        RecalibratePixelBlack,
        AutoSetting,
        ReadShadingData,
        WriteShadingData,
        StoreShadingData,
        RecalibratePixelGainFactory,
        RecalibratePixelBlackFactory,
        StoreAllAreas,
        Count
    };

    PageButtons(const BindingServices &services, AberrationGroup &aberration, WindowHooks hooks)
        : services_(services), aberration_(aberration), hooks_(std::move(hooks))
    {
    }

    void SetLaterOperation(LaterOperation operation, std::function<void()> run);

    // Runs the button's operation; any other button does nothing.
    void ButtonClicked(int buttonId);

private:
    struct Row {
        int buttonId;
        void (PageButtons::*run)(int argument);
        int argument;
    };
    static const Row kRows[];

    void lineRateLimit(int);
    void exposureLimits(int);
    void temperature(int);
    void counterReset(int counter);
    void counterRead(int counter);
    void lutEntryRead(int colour);
    void lutEntryWrite(int colour);
    void aberrationSave(int);
    void xmlVersionRead(int);
    void xmlVersionWrite(int);
    void cameraModelSet(int);
    void cameraReset(int);
    void terminal(int);
    void openLutTable(int);
    void later(int operation);

    void showLimit(int readoutId, int commandId);

    const BindingServices &services_;
    AberrationGroup &aberration_;
    WindowHooks hooks_;
    std::array<std::function<void()>, static_cast<int>(LaterOperation::Count)> later_;
};
