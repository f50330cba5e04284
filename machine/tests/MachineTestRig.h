#pragma once
// Shared set-up of the machine tests: a small bench machine's data, a
// converter, a test clock, scripted message boxes and the machine's events
// recorded.

#include "engine/core/data_types.h"
#include "machine/BasicMachine.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/convert.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv::test {

struct TMachineErrorReport {
    int Line;
    std::string Caption, Message, Details;
};

class TMachineRig : public ::testing::Test {
protected:
    TMachineRig() {
        TFeedData &f = Data.Feed;
        f.StepsX = f.StepsY = f.StepsZ = f.StepsIV = f.StepsF = 100;
        f.MotorDirectionX = f.MotorDirectionY = 1;
        f.MotorDirectionZ = -1;
        f.MotorDirectionIV = 1;
        f.MaximumRateX = 1000;
        f.MaximumRateY = 3000;
        f.MaximumRateZ = 1200;
        f.JogRapidFeed = 900;
        TMachineCapability &c = Data.MachineCapability;
        c.TravelXMinus = 0;
        c.TravelXPlus = 300;
        c.TravelYMinus = 0;
        c.TravelYPlus = 200;
        c.TravelZMinus = -100;
        c.TravelZPlus = 0;
        Data.Spindle.MinimumSpeed = 100;
        Data.Spindle.MaximumSpeed = 5000;
        Data.Home = {10, 20, -5, 600};
    }

    void Wire(TBasicMachine &M) {
        M.Convertor = &Convert;
        M.MachineData = &Data;
        M.OnBlockDone = [this](TObject *) { ++Done; };
        M.OnMachineError = [this](TObject *, int Line, const std::string &Caption,
                                  const std::string &Message, const std::string &Details) {
            Errors.push_back({Line, Caption, Message, Details});
        };
        M.OnMachineEvent = [this](TObject *, TChangeData &E) { Events.push_back(E); };
        M.SetUnits(Metric);
    }

    bool HasEvent(uint8_t Kind) const {
        for (const TChangeData &e : Events)
            if (e.Kind == Kind)
                return true;
        return false;
    }

    const TChangeData *LastEvent(uint8_t Kind) const {
        for (auto it = Events.rbegin(); it != Events.rend(); ++it)
            if (it->Kind == Kind)
                return &*it;
        return nullptr;
    }

    static TCNC_data Move(int Motion, double X, double Y, double Z, double F = NoValue) {
        TCNC_data d;
        d.Motion = Motion;
        d.X = X;
        d.Y = Y;
        d.Z = Z;
        d.Feed = F;
        return d;
    }

    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    TRead_Machinedata_file Data;
    TConvert Convert{nullptr, &Data};
    int Done = 0;
    std::vector<TMachineErrorReport> Errors;
    std::vector<TChangeData> Events;
};

} // namespace orv::test
