// The stored layout of the main window, written once for every front-end:
// places and sizes in pixels (client coordinates of the window or, where
// marked, of GroupBox1) and colours. The scripts that click on the window
// read it as the build writes it out (tools/window_layout).
#pragma once

namespace tarvenia::layout {

struct Box {
    int left;
    int top;
    int width;
    int height;
};

struct Rgb {
    int red;
    int green;
    int blue;
};

inline constexpr int kClientWidth = 251;
inline constexpr int kClientHeight = 180;

inline constexpr Box kImage1 { 8, 8, 160, 120 };
inline constexpr Box kBevel1 { 8, 8, 162, 121 };
inline constexpr Box kBadd { 225, 135, 23, 22 };
inline constexpr Box kStatusBar1 { 0, 161, 251, 19 };
inline constexpr Box kCombo { 8, 136, 213, 21 };
inline constexpr Box kGroupBox1 { 173, 2, 73, 127 };
inline constexpr Box kBsal { 8, 11, 57, 25 }; // in kGroupBox1
inline constexpr Box kBcon { 8, 39, 57, 25 }; // in kGroupBox1
inline constexpr Box kBcnf { 8, 68, 57, 25 }; // in kGroupBox1
inline constexpr Box kBfav { 8, 96, 57, 25 }; // in kGroupBox1

// Rows the combo box's list shows before it scrolls.
inline constexpr int kComboRows = 7;

inline constexpr Rgb kBackground { 188, 190, 254 };
inline constexpr Rgb kStatusColour { 227, 228, 255 };

} // namespace tarvenia::layout
