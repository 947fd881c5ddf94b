// Resource numbers of the Windows program (resources.rc).
#pragma once

#define IDI_QUINDELAR 1 // the program's and the window's 32 x 32 icon
#define IDB_GLYPHS 101 // ImageList1: folder and waste bin, magenta transparent
