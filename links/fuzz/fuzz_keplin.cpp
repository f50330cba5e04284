// The Keplin console from arbitrary bytes: they are its data file (the
// button map) and then what the console sends. Only the controls mapped
// may be pressed, and a key sent is one the map gives a button.
#include "links/KeplinDriverNew.h"
#include "platform/fuzz/FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static orv::TFuzzScopes scopes;
    const std::string name = orv::FuzzFile("keplin.ini", Data, Size);
    orv::TKeplinDriver keplin;
    keplin.LoadButtonMap(name);
    static const char *const controls[] = {"startbutton", "HomeAllButt", "StopButton"};
    for (const char *control : controls)
        keplin.MapControl(control, control);
    keplin.OnControl = [&](const std::string &Control, bool) {
        if (Control != controls[0] && Control != controls[1] && Control != controls[2])
            std::abort();
    };
    keplin.OnKey = [&](uint8_t Key, unsigned Shift) {
        bool mapped = false;
        for (int i = 0; i < orv::TKeplinDriver::ButtonCount; ++i)
            mapped = mapped || (keplin.Button(i).Key == Key && keplin.Button(i).Shift == Shift);
        if (Key == 0 || !mapped)
            std::abort();
    };
    keplin.ReceiveData(nullptr, Data, int(Size));
    return 0;
}
