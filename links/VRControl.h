#pragma once
// The VR 3D control as the VR link drives it: named objects and variables
// of a world, action codes, views, the ready state and the "SCL" event
// (type, code) that reports a completion. The world file is the control's.
// TVRWorld (VRWorld.h) is the one control of this system.

#include <functional>
#include <string>

namespace orv {

class TVRControl {
public:
    static constexpr int ReadyComplete = 4;

    virtual ~TVRControl() = default;
    // Property 21: the world file; setting it starts loading.
    virtual void SetWorldFile(const std::string &FileName) = 0;
    // The ready state: 4 once the world is loaded.
    virtual int ReadyState() const = 0;
    // Why the world did not load (empty while it loads or when it did).
    virtual std::string LoadError() const = 0;

    virtual void Action(const std::string &Object, int Code) = 0;                       // id 2
    virtual void SelectView(int View) = 0;                                              // id 7
    virtual void Version(int &Major, int &Minor, int &Release) = 0;                     // id 14
    virtual int GetInt(const std::string &Object, const std::string &Variable) = 0;     // id 28
    virtual void SetInt(const std::string &Object, const std::string &Variable, int V) = 0;
    virtual float GetReal(const std::string &Object, const std::string &Variable) = 0;  // id 30
    virtual void SetReal(const std::string &Object, const std::string &Variable, float V) = 0;
    virtual std::string GetText(const std::string &Object, const std::string &Variable) = 0;
    virtual bool GetFlag(const std::string &Object, const std::string &Variable) = 0;   // id 34
    virtual void SetFlag(const std::string &Object, const std::string &Variable, bool V) = 0;

    // "SCL": type 1 with code 3, or type 2, an M code done; type 1 code 4
    // the carousel, 5 a tool set-up, 6 a move, 1 the window's next notify.
    std::function<void(int Type, int Code)> OnSCL;
    std::function<void()> OnReadyStateChange;
};

} // namespace orv
