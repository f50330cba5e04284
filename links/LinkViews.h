#pragma once
// The windows of the controllers as the core sees them: a debug window of
// frames or lines sent and received with a command line, a trace window
// and a splash with a status line. The program installs the factories (its
// user interface); without them (ncrun, tests) a controller has no window.

#include <functional>
#include <memory>
#include <string>

namespace orv {

// "LowLevelNewDebugForm", "QuorelDebugForm": sent and received lists, a
// command line whose text the controller takes through OnCommand.
class TLineDebugView {
public:
    virtual ~TLineDebugView() = default;
    virtual void AddSent(const std::string &Line) = 0;
    virtual void AddReceived(const std::string &Line) = 0;
    std::function<void(const std::string &Text)> OnCommand;
};

// "Next Step DEBUG": a trace log.
class TCardTraceView {
public:
    virtual ~TCardTraceView() = default;
    virtual void Trace(const std::string &Line) = 0;
};

// The splash of the motion card while it is prepared.
class TCardSplashView {
public:
    virtual ~TCardSplashView() = default;
    virtual void SetStatus(const std::string &Text) = 0;
};

struct TLinkViews {
    std::function<std::unique_ptr<TLineDebugView>(const std::string &Caption)> LineDebug;
    std::function<std::unique_ptr<TCardTraceView>()> Trace;
    std::function<std::unique_ptr<TCardSplashView>()> Splash;
};

// The factories of this process (all empty until the program sets them).
TLinkViews &LinkViews();

} // namespace orv
