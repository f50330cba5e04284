#pragma once
// The simulated VR world: a TVRControl whose world file (ini text, ours)
// gives the scale, the axis signs, the views, the version, the carousel
// and how long its devices take. The mill moves at "feed_rate" (world
// units per second) on the platform clock and raises the completion
// events; every call and event can be traced.
//
// World file:
//   [vrparams]  vrscale, xpositive, ypositive, zpositive (1 or -1), versionno
//   [vrviews]   numberofviews, view1 ... viewN (hints)
//   [carousal]  positions (tool places), current
//   [control]   version (three numbers "a.b.c")
//   [timing]    mcode, carousel step, tool setup (ms)
//   [never]     mcodes (comma-separated M codes the world never completes)

#include "links/VRControl.h"

#include <map>
#include <memory>
#include <set>
#include <string>

namespace orv {

class TTimer;

class TVRWorld : public TVRControl {
public:
    TVRWorld();
    ~TVRWorld() override;

    void SetWorldFile(const std::string &FileName) override;
    int ReadyState() const override { return FReady; }
    std::string LoadError() const override { return FError; }
    void Action(const std::string &Object, int Code) override;
    void SelectView(int View) override;
    void Version(int &Major, int &Minor, int &Release) override;
    int GetInt(const std::string &Object, const std::string &Variable) override;
    void SetInt(const std::string &Object, const std::string &Variable, int V) override;
    float GetReal(const std::string &Object, const std::string &Variable) override;
    void SetReal(const std::string &Object, const std::string &Variable, float V) override;
    std::string GetText(const std::string &Object, const std::string &Variable) override;
    bool GetFlag(const std::string &Object, const std::string &Variable) override;
    void SetFlag(const std::string &Object, const std::string &Variable, bool V) override;

    // Every call that changes the world and every event, as a line.
    std::function<void(const std::string &Line)> OnTrace;
    // Serves the world once (its timer does this every 10 ms).
    void Tick();

private:
    struct TPending {
        int64_t Due;
        int Type, Code;
    };
    std::string &Value(const std::string &Object, const std::string &Variable);
    void Trace(const std::string &Line);
    void Raise(int Type, int Code);
    void StartMove();
    void FinishCarousel();
    void MoveOn(int64_t Now);
    int Timing(const char *Key, int Default);

    std::map<std::string, std::string> FValues; // "object\nvariable" -> value
    int FReady = 0;
    std::string FError;
    std::set<int> FNever;
    // The mill's move: from, to, world units per second, start time.
    double FFrom[3] = {0, 0, 0}, FTo[3] = {0, 0, 0};
    double FSpeed = 0;
    int64_t FStart = 0;
    bool FMoving = false;
    std::multimap<int64_t, TPending> FPending;
    std::unique_ptr<TTimer> FTimer;
};

} // namespace orv
