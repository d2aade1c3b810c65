// The clock in the browser: the moment the page began plus the time since, in milliseconds. It
// never goes back while the page lives, and unlike the time since the page began alone, it differs
// from one visit or tab to the next, so every first game is seeded afresh.
#include "base/system/clock.h"

#include <emscripten.h>

namespace kelvora {
namespace {

EM_JS(double, KelvoraClockMs, (), { return performance.timeOrigin + performance.now(); });

}  // namespace

int64_t BootClockMs() { return static_cast<int64_t>(KelvoraClockMs()); }

}  // namespace kelvora
