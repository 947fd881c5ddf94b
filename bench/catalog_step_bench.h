// What the two window benchmarks of the catalog step share (window_bench.cpp
// for Qt, window_win32_bench.cpp for Win32): the catalog they load, workers
// and a wallpaper that do nothing, and the spread of a figure's rounds.
#pragma once

#include "base/file.h"
#include "protocol/wallpaper_installer.h"
#include "protocol/worker_starter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace tarvenia::bench {

constexpr int kCatalogLines = 10'000;

// Writes a catalog of kCatalogLines lines, newest first and all at or below
// the daily key "29999999", to `path`; returns the titles, in file order.
inline std::vector<std::string> WriteCatalog(const std::string& path)
{
    std::vector<std::string> titles;
    std::string text;
    for (int i = 0; i < kCatalogLines; ++i) {
        char line[64];
        std::snprintf(line, sizeof line,
            "2%07d%dT\xED"
            "tulo n\xFA"
            "mero %d del cat\xE1"
            "logo\r\n",
            9'999'999 - i, i % 2, i);
        text += line;
        titles.emplace_back(line + 9, std::strlen(line) - 11); // no key, base or CR LF
    }
    File(path, File::Mode::Create).Write(text);
    return titles;
}

class NullStarter : public WorkerStarter {
public:
    void StartWorker(RunKind, const std::string&) override { }
};

class NullWallpaper : public WallpaperInstaller {
public:
    bool Install(const std::string&) noexcept override { return true; }
};

struct Spread {
    double median, min, max;
};

inline Spread SpreadOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return { times[times.size() / 2], times.front(), times.back() };
}

} // namespace tarvenia::bench
