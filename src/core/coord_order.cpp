// Reading the coordinate order setting.
#include "core/coord_order.h"

#include "core/numbers.h"

namespace korv {

int StoredCoordOrder(const IniFile& ini) {
  return RoundHalfEven(LeadingNumber(ini.Get("Default", "StCombCoord0"))) == 1 ? CoordOrder::kENZ
                                                                               : CoordOrder::kNEZ;
}

}  // namespace korv
