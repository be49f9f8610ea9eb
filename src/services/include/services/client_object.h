#pragma once
// The host's database client object, as the sector editor and the
// medical-centre editor both receive it. Neither looks inside it: they only
// hand it on. Kept with the services, below both.

#include <memory>

namespace zonitra {

using ClientObject = std::shared_ptr<const void>;

}  // namespace zonitra
