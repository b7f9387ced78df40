#include "sources/window_captions.h"

namespace plovix {

SourceCaptions sourceCaptions(const Session& s) {
    SourceCaptions c;
    switch (s.settings.SourceType) {
        case kGeomatic:
            c.normalStress = "Vertical Pressure:";
            c.time = "Shear Rate:";
            break;
        case kGeotac:
        case kHumboldt:
            c.time = "Time to Failure (min):";
            break;
        default:
            break;
    }
    return c;
}

bool keepsHumIncOne(const Session& s) {
    return s.settings.SourceType == kHumboldt && (s.settings.HUMREADXL || s.settings.HUMXLEXP);
}

}  // namespace plovix
