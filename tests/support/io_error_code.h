// The code of the IoError an action throws, for tables of file failures.
#pragma once

#include <functional>

namespace tarvenia::testing {

// The IoError's code, or 0 when the action succeeds (other errors propagate).
int IoErrorCodeOf(const std::function<void()>& action);

} // namespace tarvenia::testing
