// Facts of Windows for the tests.
#include "support/platform_facts.h"

namespace kelvora::testing {

// A read-only attribute stops every user alike.
bool RunsAsSuperuser() { return false; }

// The whole 32-bit exit code reaches the parent.
int FatalExitCode() { return -1; }

}  // namespace kelvora::testing
