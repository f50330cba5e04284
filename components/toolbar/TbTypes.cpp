#include "components/toolbar/TbTypes.h"

namespace orv {

int MulDiv(int A, int B, int C)
{
    if (C == 0)
        return -1;
    long long num = (long long)A * B;
    long long q = num / C;
    long long r = num % C;
    // Round halves away from zero.
    if (2 * (r < 0 ? -r : r) >= (C < 0 ? -(long long)C : C))
        q += ((num < 0) != (C < 0)) ? -1 : 1;
    return int(q);
}

} // namespace orv

namespace orv {

namespace {
TSysColors GSysColors;
}

const TSysColors &SysColors() { return GSysColors; }

void SetSysColors(const TSysColors &Colors) { GSysColors = Colors; }

} // namespace orv
