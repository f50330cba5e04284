#include "links/MintControl.h"

namespace orv {

TMintFactories &MintFactories() {
    static TMintFactories factories;
    return factories;
}

} // namespace orv
