#include "protocol/date_key.h"

#include <ctime>

namespace tarvenia {

namespace {

    // Month and day take a leading "0" below 10.
    void AppendTwoDigits(std::string& out, int value)
    {
        if (value <= 9)
            out += '0';
        out += std::to_string(value);
    }

} // namespace

std::string DateKey(int year, int month, int day)
{
    std::string key = std::to_string(year);
    AppendTwoDigits(key, month);
    AppendTwoDigits(key, day);
    return key;
}

std::string DateKeyToday()
{
    std::time_t now = std::time(nullptr);
    std::tm local {};
    // The reentrant variant: the first-connection run calls this on a worker
    // thread while the window's thread may use the C time functions too.
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return DateKey(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

} // namespace tarvenia
