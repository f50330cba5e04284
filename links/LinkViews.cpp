#include "links/LinkViews.h"

namespace orv {

TLinkViews &LinkViews() {
    static TLinkViews views;
    return views;
}

} // namespace orv
