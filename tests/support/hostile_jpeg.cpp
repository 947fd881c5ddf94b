#include "support/hostile_jpeg.h"

namespace tarvenia::test {

namespace {

    class Writer {
    public:
        void Byte(int b) { out.push_back(static_cast<std::uint8_t>(b)); }
        void Word(int w)
        {
            Byte(w >> 8);
            Byte(w & 0xFF);
        }
        void Marker(int code) { Word(0xFF00 | code); }
        // A marker segment: the length counts itself and the payload.
        void Segment(int code, const std::vector<std::uint8_t>& payload)
        {
            Marker(code);
            Word(static_cast<int>(payload.size()) + 2);
            out.insert(out.end(), payload.begin(), payload.end());
        }
        std::vector<std::uint8_t> out;
    };

    constexpr int kSof0 = 0xC0, kSof2 = 0xC2, kSof9 = 0xC9, kSof10 = 0xCA;
    constexpr int kDht = 0xC4, kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kDqt = 0xDB, kDri = 0xDD;
    constexpr int kRst0 = 0xD0, kApp14 = 0xEE;

} // namespace

std::vector<std::uint8_t> HostileJpeg(const HostileJpegSpec& spec)
{
    Writer w;
    const int n = spec.components;
    w.Marker(kSoi);
    if (n == 4) {
        // Adobe marker, transform 0: the four components are CMYK.
        w.Segment(kApp14, { 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 0 });
    }
    std::vector<std::uint8_t> dqt(65, 1);
    dqt[0] = 0; // 8-bit table 0
    w.Segment(kDqt, dqt);

    const int sof = spec.arithmetic ? (spec.progressive ? kSof10 : kSof9)
                                    : (spec.progressive ? kSof2 : kSof0);
    std::vector<std::uint8_t> frame { 8, static_cast<std::uint8_t>(spec.height >> 8),
        static_cast<std::uint8_t>(spec.height), static_cast<std::uint8_t>(spec.width >> 8),
        static_cast<std::uint8_t>(spec.width), static_cast<std::uint8_t>(n) };
    for (int c = 0; c < n; ++c) {
        frame.push_back(static_cast<std::uint8_t>(c + 1));
        frame.push_back(0x11); // no subsampling
        frame.push_back(0);
    }
    w.Segment(sof, frame);

    if (!spec.arithmetic) {
        // One code of one bit per table, symbol 0: a DC difference of 0, or
        // the end of the block. Zero bits then decode as empty blocks.
        std::vector<std::uint8_t> dht;
        for (int table_class : { 0x00, 0x10 }) {
            dht.push_back(static_cast<std::uint8_t>(table_class));
            for (int len = 1; len <= 16; ++len)
                dht.push_back(len == 1 ? 1 : 0);
            dht.push_back(0);
        }
        w.Segment(kDht, dht);
    }
    if (spec.restart_markers > 0 && !spec.progressive)
        w.Segment(kDri, { 0, 1 });

    // The first scan: every component, DC only when progressive.
    std::vector<std::uint8_t> sos { static_cast<std::uint8_t>(n) };
    for (int c = 0; c < n; ++c) {
        sos.push_back(static_cast<std::uint8_t>(c + 1));
        sos.push_back(0);
    }
    sos.insert(sos.end(), { 0, static_cast<std::uint8_t>(spec.progressive ? 0 : 63), 0 });
    w.Segment(kSos, sos);
    if (!spec.progressive) {
        for (int i = 0; i < spec.restart_markers; ++i)
            w.Marker(kRst0 + i % 8);
    } else {
        // Refinement of bit 0 of the whole AC band, over and over: libjpeg
        // only warns about the repeated progression, and walks every block
        // of the component each time.
        for (int i = 0; i < spec.refinement_scans; ++i)
            w.Segment(kSos, { 1, static_cast<std::uint8_t>(i % n + 1), 0, 1, 63, 0x10 });
    }
    w.Marker(kEoi);
    return w.out;
}

HostileJpegSpec ProgressiveSpec(
    int width, int height, int components, bool arithmetic, int refinement_scans)
{
    HostileJpegSpec s;
    s.width = width;
    s.height = height;
    s.components = components;
    s.arithmetic = arithmetic;
    s.refinement_scans = refinement_scans;
    return s;
}

HostileJpegSpec SequentialSpec(int width, int height, int components, int restart_markers)
{
    HostileJpegSpec s = ProgressiveSpec(width, height, components, false, 0);
    s.progressive = false;
    s.restart_markers = restart_markers;
    return s;
}

} // namespace tarvenia::test
