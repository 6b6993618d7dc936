#include "zip/ZipState.h"

namespace setup::zip {

ZipSharedState& ZipShared() {
    static ZipSharedState state;
    return state;
}

}  // namespace setup::zip
