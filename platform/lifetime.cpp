#include "platform/lifetime.h"

namespace trivu::platform {

constinit PlatformLife platformLife;

}  // namespace trivu::platform
