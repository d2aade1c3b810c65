// Facts of a POSIX system for the tests.
#include "support/platform_facts.h"

#include <unistd.h>

namespace kelvora::testing {

bool RunsAsSuperuser() { return ::geteuid() == 0; }

// Only the low byte of an exit code survives.
int FatalExitCode() { return 255; }

}  // namespace kelvora::testing
