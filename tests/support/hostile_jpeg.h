// JPEG files written marker by marker, to make what no encoder makes: a
// picture of any announced size with no image data, thousands of empty
// progressive scans, storms of restart markers. Shared by the decoding tests
// and the benchmark of hostile files.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvenia::test {

struct HostileJpegSpec {
    int width = 64;
    int height = 64;
    int components = 1; // 1 greyscale, 3 YCbCr, 4 Adobe CMYK
    bool progressive = true;
    bool arithmetic = false;
    // Progressive only: empty refinement scans after the first (DC) scan,
    // each over one component in turn and over the whole AC band.
    int refinement_scans = 0;
    // Sequential only: a restart interval of one MCU and this many restart
    // markers straight after the scan header, with no data between them.
    int restart_markers = 0;
};

// A progressive file of that size with that many empty refinement scans.
HostileJpegSpec ProgressiveSpec(
    int width, int height, int components, bool arithmetic, int refinement_scans);
// A sequential file of that size with that many restart markers.
HostileJpegSpec SequentialSpec(int width, int height, int components, int restart_markers);

// The file: SOI, a quantization table of ones, the frame header, the
// entropy tables (one-symbol Huffman tables, or the arithmetic defaults), the
// scans, EOI. Apart from the markers every scan is empty: the decoder makes
// up the data as zeros, as for a file cut short.
std::vector<std::uint8_t> HostileJpeg(const HostileJpegSpec& spec);

} // namespace tarvenia::test
