#include "common/lifetime.h"

namespace trivu {

CommonLife commonLife;

}  // namespace trivu
