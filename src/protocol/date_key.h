#pragma once

#include <string>

namespace tarvenia {

// The photo key of a calendar date: year digits without leading zeros, then
// month and day in two digits each ("20030305" for 5 March 2003).
std::string DateKey(int year, int month, int day);

// DateKey of today's date on the computer's clock, in local time.
std::string DateKeyToday();

} // namespace tarvenia
