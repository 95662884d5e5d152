#pragma once

#include <array>
#include <cstdint>
#include <optional>

class Command;
class ControlFinder;
class ControlTable;

// The chromatic aberration correction group on "User C". Its selectors choose which command
// of a family the three cells address; nothing here touches the control table, the cells and
// selectors talk to the camera directly.
class AberrationGroup {
public:
    static constexpr int kModeId = 1560;
    static constexpr int kSyncModeId = 1699;
    static constexpr int kSideId = 1704;
    static constexpr int kMethodId = 1701;
    static constexpr int kColourId = 1700;
    static constexpr int kIndexId = 1695;
    static constexpr int kRatioId = 1696;
    static constexpr int kValueId = 1702;
    static constexpr int kCoefficientId = 1703;
    static constexpr int kSaveButtonId = 1698;
    // Usable only while a lens is chosen: the selectors, the cells, their labels and the save button.
    static constexpr std::array<int, 12> kLensControls = {kSyncModeId, kSideId,  kMethodId,      kColourId,
                                                          kIndexId,    kRatioId, kValueId,       kCoefficientId,
                                                          1562,        1564,     1585,           kSaveButtonId};

    AberrationGroup(Command &command, ControlTable &table, const ControlFinder &finder)
        : command_(command), table_(table), finder_(finder)
    {
    }

    static bool IsCell(int controlId);

    // A cell's new value, typed or stepped.
    void CellWritten(int cellId, std::int32_t value);
    // Ratio, value and coefficient shown again from the camera.
    void RefreshCellReadouts();

    // Selector changes, after the operator's choice.
    void ModeChanged();
    void SyncModeChanged();
    void SideChanged();
    void IndexChanged();
    void ColourChanged();
    void MethodChanged();
    // The selectors other than the mode; true when it handled the list.
    bool SelectorChanged(int listId);

    void Save();

private:
    struct Cell {
        int id;
        int (*command)(std::int32_t side, std::int32_t colour, std::int32_t lens, std::int32_t index);
        // What a successful write shows again; null for nothing.
        void (AberrationGroup::*afterWrite)(std::int32_t lens);
    };
    struct Selector {
        int id;
        void (AberrationGroup::*changed)();
    };
    // The cells in readout order, and the selectors with their routines.
    static const Cell kCells[3];
    static const Selector kSelectors[5];

    static const Cell *findCell(int cellId);

    // The lens as the camera reports it; none when the query fails.
    std::optional<std::int32_t> cameraLens();
    std::optional<std::int32_t> listLens() const;
    int commandOf(const Cell &cell, std::int32_t lens) const;
    void readout(const Cell &cell, std::int32_t lens);
    void refreshCellReadouts(std::int32_t lens);
    void showMethod(std::int32_t lens);
    void ratioReadout(std::int32_t lens);
    void ratioReadoutFromCamera();

    Command &command_;
    ControlTable &table_;
    const ControlFinder &finder_;
};
