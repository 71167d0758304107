#include "monitors/CIpHelper.h"

// Placeholder until the network sampler lands: no activity is reported.
namespace ww::monitors {

void CIpHelper::Update() {}

bool CIpHelper::ReadInterfaceTotals() { return false; }

}  // namespace ww::monitors
