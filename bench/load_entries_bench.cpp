// Times LoadEntries on a generated 100,000-line catalog against plain reads
// of the same file measured in the same run. Prints figures only.
#include "base/file.h"
#include "lists/catalog.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kLines = 100000;
constexpr int kRuns = 15;
constexpr double kTargetMs = 30.0;

// Lines of the catalog's shape: key, base index, a title of 20 to 41 bytes,
// CR LF; keys fall back one day per line, as the service lists them.
std::string MakeCatalog()
{
    std::mt19937 random(12345);
    std::string out;
    out.reserve(static_cast<std::size_t>(kLines) * 52);
    int year = 2003, month = 12, day = 28;
    char key[40]; // room for any int, so the format can never cut it
    for (int i = 0; i < kLines; ++i) {
        std::snprintf(key, sizeof key, "%04d%02d%02d", year, month, day);
        out += key;
        out += static_cast<char>('0' + random() % 4);
        std::size_t title = 20 + random() % 22;
        for (std::size_t j = 0; j < title; ++j)
            out += static_cast<char>(j % 7 == 6 ? ' ' : 'a' + random() % 26);
        out += "\r\n";
        if (--day == 0) {
            day = 28;
            if (--month == 0) {
                month = 12;
                --year;
            }
        }
    }
    return out;
}

// Wall-clock and processor time of one measured part, in milliseconds. The
// processor time stays meaningful when other work shares the machine.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

template <class Fn> Timing Timed(Fn&& fn)
{
    std::clock_t cpu_start = std::clock();
    auto start = std::chrono::steady_clock::now();
    fn();
    auto stop = std::chrono::steady_clock::now();
    std::clock_t cpu_stop = std::clock();
    return { std::chrono::duration<double, std::milli>(stop - start).count(),
        1000.0 * static_cast<double>(cpu_stop - cpu_start) / CLOCKS_PER_SEC };
}

// `run` times only the part it measures, so that building and freeing the
// lists stays outside the figure. Medians of each clock separately.
Timing Median(const std::function<Timing()>& run)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < kRuns; ++i) {
        Timing t = run();
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return { wall[wall.size() / 2], cpu[cpu.size() / 2] };
}

} // namespace

int main()
{
    namespace fs = std::filesystem;
    const tarvenia::testing::TempFolder dir;
    std::string path = dir.Path("qndelar.qdl");
    const std::string catalog = MakeCatalog();
    std::ofstream(path, std::ios::binary) << catalog;

    std::size_t listed = 0;
    auto load = [&] {
        tarvenia::VectorStringList titles;
        tarvenia::PackedStrings bases, keys;
        Timing t = Timed([&] { tarvenia::LoadEntries(path, "20031228", titles, bases, keys); });
        listed = keys.size();
        return t;
    };
    std::size_t lines = 0;
    auto reader_only = [&] {
        return Timed([&] {
            tarvenia::File file(path, tarvenia::File::Mode::Read);
            tarvenia::CatalogReader reader(file);
            std::string line;
            lines = 0;
            while (reader.NextLine(line, 50))
                ++lines;
        });
    };
    std::size_t read_bytes = 0;
    auto plain_read = [&] {
        std::string data;
        return Timed([&] {
            std::ifstream in(path, std::ios::binary);
            data.resize(static_cast<std::size_t>(fs::file_size(path)));
            in.read(data.data(), static_cast<std::streamsize>(data.size()));
            read_bytes = static_cast<std::size_t>(in.gcount());
        });
    };
    std::size_t getline_lines = 0;
    auto getline_loop = [&] {
        std::vector<std::string> kept;
        return Timed([&] {
            std::ifstream in(path, std::ios::binary);
            std::string line;
            while (std::getline(in, line))
                kept.push_back(line);
            getline_lines = kept.size();
        });
    };

    load(); // warm the page cache and the allocator
    plain_read();
    Timing load_t = Median(load);
    Timing reader_t = Median(reader_only);
    Timing read_t = Median(plain_read);
    Timing getline_t = Median(getline_loop);

    std::printf("catalog: %d lines, %zu bytes; %zu entries listed, %zu lines, %zu bytes read\n",
        kLines, catalog.size(), listed, lines, read_bytes);
    std::printf("medians over %d runs                    wall ms    cpu ms\n", kRuns);
    auto row = [](const char* what, Timing t) {
        std::printf("  %-38s %8.3f  %8.3f\n", what, t.wall, t.cpu);
    };
    row("LoadEntries (three lists filled)", load_t);
    row("CatalogReader, lines only", reader_t);
    row("reference: std::ifstream, one read", read_t);
    row("reference: std::getline, lines kept", getline_t);
    std::printf("ratio LoadEntries / getline lines kept: wall %.2f, cpu %.2f\n",
        load_t.wall / getline_t.wall, load_t.cpu / getline_t.cpu);
    std::printf("ratio LoadEntries / one read:           wall %.2f\n", load_t.wall / read_t.wall);
    std::printf(
        "target %.0f ms (wall): %s\n", kTargetMs, load_t.wall < kTargetMs ? "met" : "NOT met");

    return 0;
}
