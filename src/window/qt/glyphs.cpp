#include "window/qt/glyphs.h"

namespace tarvenia::qt {

namespace {

    // Face dithered yellow and white, tab at the upper left.
    const char* const kFolder[] = {
        "16 16 4 1",
        "  c None",
        ". c #000000",
        "y c #FFFF00",
        "w c #FFFFFF",
        "                ",
        "                ",
        "  .....         ",
        " .ywywy.        ",
        ".ywywywy....... ",
        ".wywywywywywyw. ",
        ".ywywywywywywy. ",
        ".wywywywywywyw. ",
        ".ywywywywywywy. ",
        ".wywywywywywyw. ",
        ".ywywywywywywy. ",
        ".wywywywywywyw. ",
        ".ywywywywywywy. ",
        "............... ",
        "                ",
        "                ",
    };

    // Handle on the lid, small handles at the sides, body in vertical
    // stripes of white, light grey and dark grey.
    const char* const kWasteBin[] = {
        "16 16 5 1",
        "  c None",
        ". c #000000",
        "w c #FFFFFF",
        "l c #C0C0C0",
        "d c #808080",
        "      ....      ",
        "     .    .     ",
        "  ............  ",
        "  .wwwllllldd.  ",
        "  ............  ",
        "   .wldwldwl.   ",
        "   .wldwldwl.   ",
        " ...wldwldwl... ",
        " . .wldwldwl. . ",
        " ...wldwldwl... ",
        "   .wldwldwl.   ",
        "   .wldwldwl.   ",
        "   .wldwldwl.   ",
        "   .wldwldwl.   ",
        "    ........    ",
        "                ",
    };

    const char* const kIcon[] = {
        "32 32 9 1",
        "  c None",
        ". c #000000",
        "d c #808080",
        "b c #0000FF",
        "s c #00FFFF",
        "y c #FFFF00",
        "w c #FFFFFF",
        "G c #008000",
        "g c #00FF00",
        "                                ",
        "                                ",
        "                                ",
        " .............................. ",
        " .bbbbbbbbbbbbbbbbbbbbbbbbbbbb. ",
        " .bbbbbbbbbbbbbbbbbbbbbbbbbbbb.d",
        " .bbbbbbbbbbbbbbbbbbbbbbbbbbbb.d",
        " .bbbbbbbbbbbbbbbbbbbyyybbbbbb.d",
        " .bbbbbbbbbbbbbbbbbbyyyyybbbbb.d",
        " .bbbbbbbbbbbbbbbbbyyyyyyybbbb.d",
        " .sssssssssssssssssyyyyyyyssss.d",
        " .sssssswwwssssssssyyyyyyyssss.d",
        " .sssswwwwwwwsssssssyyyyysssss.d",
        " .sssssssssssssssssssyyyssssss.d",
        " .ssssssssssssssssssssssssssss.d",
        " .ssssssssssssssssssssssssssss.d",
        " .ssssssssssssssssssssssssssss.d",
        " .ssssssssssssssssssssGGGGGGGG.d",
        " .sssssssssssssssssssGGGGGGGGG.d",
        " .sssssssssssssssssGGGGGGGGGGG.d",
        " .GsssssssssssssssGGGGGGGGGGGG.d",
        " .GGsssssssssssssGGGGGGGGGGGGG.d",
        " .GGGssssggggggggGGGGGGGGGGGGG.d",
        " .GGGGGggggggggggggGGGGGGGGGGG.d",
        " .GGGggggggggggggggggGGGGGGGGG.d",
        " .gggggggggggggggggggggggggggg.d",
        " .gggggggggggggggggggggggggggg.d",
        " .gggggggggggggggggggggggggggg.d",
        " ..............................d",
        "   ddddddddddddddddddddddddddddd",
        "                                ",
        "                                ",
    };

} // namespace

QPixmap ImageList1(int index)
{
    switch (index) {
    case 0:
        return QPixmap(kFolder);
    case 1:
        return QPixmap(kWasteBin);
    default:
        return {};
    }
}

QPixmap WindowIcon() { return QPixmap(kIcon); }

QPixmap Sharp(const QPixmap& picture, qreal device_pixel_ratio)
{
    if (picture.isNull() || device_pixel_ratio <= 1.0)
        return picture;
    QPixmap out = picture.scaled(qRound(picture.width() * device_pixel_ratio),
        qRound(picture.height() * device_pixel_ratio), Qt::IgnoreAspectRatio,
        Qt::FastTransformation);
    out.setDevicePixelRatio(device_pixel_ratio);
    return out;
}

} // namespace tarvenia::qt
