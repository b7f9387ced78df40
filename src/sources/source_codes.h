#pragma once
// The codes of the vendor layouts, as the settings file's DAT key stores them.

#include "app/session.h"

namespace plovix {

enum SourceCode : int {
    kGeomatic = 1,
    kGeoTest = 2,
    kProprietaryClient = 3,
    kDurhamGeo = 4,
    kGeotac = 5,
    kHumboldt = 6,
    kEnKay = 7,
    kEleSoilTest = 8,
};

static_assert(kEleSoilTest == kSourceCount);
static_assert(kGenericSource == kGeoTest);

}  // namespace plovix
