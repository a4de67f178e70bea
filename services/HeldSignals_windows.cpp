#include "HeldSignals.h"

// Windows ends a console program through its own console handler and a
// window program through messages: nothing is held there.
namespace sumlark {

void routeSignals() {}
HeldInterrupts::HeldInterrupts() = default;
HeldInterrupts::~HeldInterrupts() = default;
void noteTemporary(int, const std::string&) {}
void forgetTemporary(int, const std::string&) {}

} // namespace sumlark
