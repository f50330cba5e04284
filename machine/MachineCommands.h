#pragma once
// Records the machine side shares with the engine form and the panels: the
// request/event record TChangeData with its kind numbers, a block converted
// to motor steps, a position read from the machine and the readout triples.

#include "platform/NumberText.h"

#include <cstdint>
#include <string>

namespace orv {

// One request from a panel or one event for a panel. Requests and events
// share the number range of Kind; the direction tells them apart.
struct TChangeData {
    uint8_t Kind = 31;    // rqNone
    Extended Value = 0;   // override percent, jog increment
    int32_t IntValue = 0; // mode, feed, speed, M code, home code, tool number
    bool Flag = false;    // e-stop, guard, turbo, single step, block skip, in position
    std::string Text;     // work offset name
};
using TRequestData = TChangeData;

// Request kinds (panel to engine form to machine).
constexpr uint8_t rqMachineMode = 0;
constexpr uint8_t rqJogFeed = 1;
constexpr uint8_t rqFeedOverride = 3;
constexpr uint8_t rqSpindleSpeed = 4;
constexpr uint8_t rqSpeedOverride = 6;
constexpr uint8_t rqMCode = 15;
constexpr uint8_t rqJogXPlus = 16;
constexpr uint8_t rqJogXMinus = 17;
constexpr uint8_t rqJogYPlus = 18;
constexpr uint8_t rqJogYMinus = 19;
constexpr uint8_t rqJogZPlus = 20;
constexpr uint8_t rqJogZMinus = 21;
constexpr uint8_t rqJogStop = 22;
constexpr uint8_t rqHome = 23;
constexpr uint8_t rqSetHomed = 24;
constexpr uint8_t rqRefreshPosition = 25;
constexpr uint8_t rqRefreshState = 26;
constexpr uint8_t rqTurbo = 27;
constexpr uint8_t rqToolZOffset = 28;
constexpr uint8_t rqShowVersion = 29;
constexpr uint8_t rqJogIncrement = 30;
constexpr uint8_t rqNone = 31;

// Event kinds (machine or engine form to panel).
constexpr uint8_t evMachineMode = 0;
constexpr uint8_t evEstop = 1;
constexpr uint8_t evSafe = 2;
constexpr uint8_t evRunning = 4;
constexpr uint8_t evStopped = 5;
constexpr uint8_t evPaused = 6;
constexpr uint8_t evRewind = 7;
constexpr uint8_t evCycleState = 8;
constexpr uint8_t evFeedrate = 9;
constexpr uint8_t evSpindleSpeed = 10;
constexpr uint8_t evFeedOverride = 11;
constexpr uint8_t evSpeedOverride = 12;
constexpr uint8_t evSingleStep = 13;
constexpr uint8_t evBlockSkip = 14;
constexpr uint8_t evInPosition = 15;
constexpr uint8_t evAxisHomed = 18;
constexpr uint8_t evHomingReset = 19;
constexpr uint8_t evToolNumber = 20;
constexpr uint8_t evToolOffsetNumber = 21;
constexpr uint8_t evWorkOffsetName = 22;
constexpr uint8_t evToggleTurbo = 23;

// Home codes: which axes a homing request moves.
constexpr int HomeX = 0;
constexpr int HomeY = 1;
constexpr int HomeZ = 2;
constexpr int HomeXY = 3;
constexpr int HomeAll = 6;

// An integer step value that was not given.
constexpr int32_t NoSteps = 9999999;

// One block in motor steps (feeds in steps per second). NoSteps marks a
// field that was not given.
struct TMachineBlock {
    int32_t S = NoSteps;         // spindle rpm
    int32_t M = NoSteps;         // M code
    int32_t T = NoSteps;         // tool
    int32_t BlockType = NoSteps; // motion code of the move record
    int32_t H = NoSteps;
    int32_t Feed = NoSteps;
    int32_t X = NoSteps, Y = NoSteps, Z = NoSteps; // end point
    int32_t I = NoSteps, J = NoSteps, K = NoSteps; // arc centre
    int32_t R = NoSteps;
    int32_t Fourth = NoSteps;
    double Sweep = 0; // signed arc sweep, degrees, positive clockwise
    int32_t Radius = NoSteps;
};

// A position read from the machine: steps and steps per second as read,
// millimetres and mm/min once converted.
struct TMachinePosition {
    double X = 0, Y = 0, Z = 0, Fourth = 0;
    double Feed = 0;
    bool LookAhead = false;
    bool Valid = false;   // the read succeeded
    bool Stopped = false; // the controller reports motion stopped
    bool Safe = false;    // the guard is closed
};

// Three axis values (X, Y, Z): steps or millimetres as the user says.
struct TXYZ {
    Extended X = 0, Y = 0, Z = 0;
};

// The position readout kept for the display, all in millimetres.
struct TMachineReadout {
    TXYZ Machine;    // machine position, machine coordinates
    TXYZ Programmed; // end point of the current block, machine coordinates
    TXYZ Work;       // machine position less work offset and tool length
    TXYZ ToGo;       // Programmed - Machine
    TXYZ Reported;   // Machine as last reported (change detection)
};

// Marks the axes a homing code (HomeX ... HomeAll) reports as homed; other
// codes mark nothing. Panels and machines keep the same five flags.
inline void MarkHomed(int Code, bool &X, bool &Y, bool &Z, bool &XY, bool &All)
{
    bool *flag = Code == HomeX    ? &X
                 : Code == HomeY  ? &Y
                 : Code == HomeZ  ? &Z
                 : Code == HomeXY ? &XY
                 : Code == HomeAll ? &All
                                   : nullptr;
    if (flag)
        *flag = true;
}

} // namespace orv
