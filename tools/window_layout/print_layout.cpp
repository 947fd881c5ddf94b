// Prints the window's layout as shell assignments (see CMakeLists.txt): each
// control as "left top width height" in client coordinates of the window,
// the controls of GroupBox1 moved by its place, and the colours as "r,g,b".
#include "window/layout.h"

#include <cstdio>

namespace {

using namespace tarvenia::layout;

void Print(const char* name, const Box& box, const Box& parent = { 0, 0, 0, 0 })
{
    std::printf("LAYOUT_%s='%d %d %d %d'\n", name, parent.left + box.left, parent.top + box.top,
        box.width, box.height);
}

void Print(const char* name, const Rgb& colour)
{
    std::printf("LAYOUT_%s=%d,%d,%d\n", name, colour.red, colour.green, colour.blue);
}

} // namespace

int main()
{
    std::printf("# The window's layout, written by the build from src/window/layout.h.\n");
    std::printf("LAYOUT_CLIENT_WIDTH=%d\nLAYOUT_CLIENT_HEIGHT=%d\n", kClientWidth, kClientHeight);
    Print("Image1", kImage1);
    Print("Bevel1", kBevel1);
    Print("Badd", kBadd);
    Print("StatusBar1", kStatusBar1);
    Print("Combo", kCombo);
    Print("GroupBox1", kGroupBox1);
    // The buttons are children of the group box, which the front-ends draw
    // them into.
    Print("Bsal", kBsal, kGroupBox1);
    Print("Bcon", kBcon, kGroupBox1);
    Print("Bcnf", kBcnf, kGroupBox1);
    Print("Bfav", kBfav, kGroupBox1);
    Print("BACKGROUND", kBackground);
    Print("STATUS_COLOUR", kStatusColour);
    return 0;
}
