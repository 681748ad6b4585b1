#pragma once

#include <functional>

namespace testsupport {

// Runs the Qt event loop until `done` holds or `timeoutMs` pass; returns whether it held.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

} // namespace testsupport
