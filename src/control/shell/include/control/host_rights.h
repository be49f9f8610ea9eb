#pragma once
// The rights the host hands Ctr_Secteur: the DroitsUtilisateur object and the
// rights of the module "SECTEUR" it answered. Both are empty until the host
// sets DroitsUtilisateur and are released when the control ends. The
// medical-centre editor and the sector dialogs are handed the same object.

#include <memory>
#include <optional>

#include "services/droits.h"

namespace zonitra {

inline constexpr const char* kRightsModule = "SECTEUR";

struct HostRights {
    std::shared_ptr<services::DroitsUtilisateur> droits;
    std::optional<services::ModuleAccess> moduleAccess;
};

}  // namespace zonitra
