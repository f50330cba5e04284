// Feeds arbitrary lines to the NC line parser: every byte sequence must
// parse into the block record or be reported, never crash or read past.
#include "engine/core/CNCLineParser.h"
#include "engine/core/MacroVars.h"
#include "engine/core/data_types.h"
#include "platform/MessageService.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct TFuzzWorld {
    TFuzzWorld() : Vars("/dev/null/fuzz.ini"), Scope(Boxes)
    {
        Parser.SetMacrovars(&Vars);
        Parser.OnErrorEvent = [](orv::TObject *, int, const std::string &, const std::string &) {};
    }
    orv::TMacroVars Vars;
    orv::TScriptedMessages Boxes;
    orv::TMessageServiceScope Scope;
    orv::CNCLineParser Parser;
    orv::TCNC_Groups Block;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static TFuzzWorld world;
    std::string line(reinterpret_cast<const char *>(Data), Size);
    world.Parser.ShowErrorDialogueBox = Size % 2 == 0;
    world.Parser.ParseLine(line, world.Block);
    world.Boxes.ClearLog();
    // Nothing that is no number may reach the record or the variables.
    for (int i = 0; i < orv::WordCount; ++i)
        if (world.Block.WordSet[i] && !std::isfinite(world.Block.Words[i]))
            std::abort();
    for (int n : {1, 2, 100, 500})
        if (!std::isfinite(world.Vars.GetVarValue(n)))
            std::abort();
    return 0;
}
