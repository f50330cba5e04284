// Replays arbitrary bytes as a compiled ".XNC" file the way the engine form
// does: read each record, check it, copy it into the move record and work
// out a replayed arc's shape. Nothing may crash, and every record that is
// taken must carry finite numbers.
#include "engine/form/CompiledInput.h"
#include "engine/form/CompiledRecord.h"
#include "engine/chain/EngineHost.h"
#include "engine/core/data_types.h"
#include "platform/MessageService.h"

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static orv::TScriptedMessages boxes;
    static orv::TMessageServiceScope scope(boxes);
    static const std::string path = "/tmp/fuzz_compiled_" + std::to_string(::getpid()) + ".xnc";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(Data, 1, Size, file);
    std::fclose(file);

    orv::TCompiledInput input(nullptr);
    std::string name = path;
    if (!input.LoadFile(name))
        return 0;
    orv::TCNC_data move;
    double position[3] = {0, 0, 0};
    orv::TCompiledRecord rec{};
    for (size_t guard = 0; guard <= Size / orv::CompiledRecordSize + 1; ++guard) {
        if (!input.ReadRecord(rec))
            break;
        orv::CopyCompiledRecord(rec, move);
        if (!std::isfinite(move.X) || !std::isfinite(move.Feed))
            std::abort();
        if (move.Motion == 2 || move.Motion == 3) {
            double end[3] = {move.X, move.Y, move.Z};
            double centre[3] = {move.I, move.J, move.K};
            orv::ArcShapeFromPoints(move.Motion, position, end, centre);
        }
        if (move.Motion == orv::EndOfProgramCode)
            break;
    }
    return 0;
}
