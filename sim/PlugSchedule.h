#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "CameraSimulator.h"

// Unplugging, plugging back and power cycles at set times, for trying reconnection by hand
// and for benchmarks. Written as STEP[,STEP...] with STEP = ACTION@SECONDS[:OPTION...]:
//   unplug@3,replug@5,unplug@9.5,replug@11:power-cycle:model=QN-5200RL-BDXP:id=QN52000999
// ACTION is unplug, replug or power-cycle; SECONDS count from the start and never go back;
// only a replug takes options: power-cycle, model=NAME, id=CAMERAID, each at most once.
struct PlugStep {
    enum class Action { Unplug, Replug, PowerCycle };
    Action action = Action::Unplug;
    std::int64_t atMs = 0;
    PlugOptions options; // a replug's
};

// nullopt with error set when text is not a schedule.
std::optional<std::vector<PlugStep>> ParsePlugSchedule(const QString &text, QString &error);

// Carries out one step; false when a replug found no pseudo-terminal.
bool ApplyPlugStep(CameraSimulator &simulator, const PlugStep &step);
