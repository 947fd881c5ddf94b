// The parts of File that are the same on every platform.
#include "base/file.h"

namespace tarvenia {

std::vector<unsigned char> File::ReadAll(const std::string& path)
{
    File f(path, Mode::Read);
    std::vector<unsigned char> data;
    data.resize(static_cast<std::size_t>(f.Size()));
    std::size_t got = 0;
    while (got < data.size()) {
        std::size_t n = f.Read(data.data() + got, data.size() - got);
        if (n == 0)
            break;
        got += n;
    }
    data.resize(got);
    // A file that grew since its size was taken: take the rest too.
    unsigned char buf[65536];
    while (std::size_t n = f.Read(buf, sizeof buf))
        data.insert(data.end(), buf, buf + n);
    return data;
}

} // namespace tarvenia
