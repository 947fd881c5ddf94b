// AddressSanitizer's settings for the fuzz programs, built into each of them
// so that ctest and a run by hand get the same (ASAN_OPTIONS still overrides
// any of them). A freed block is held back before its memory is used again,
// so that a late use of it is caught: by default up to 256 MB of them. The
// targets free their buffers with every input, so that default stays
// resident for the whole run (about 360 MB) for little gain; 4 MB still
// holds the freed blocks of many inputs.
extern "C" const char* __asan_default_options();

extern "C" const char* __asan_default_options() { return "quarantine_size_mb=4"; }
