#include "resources/ProgramIcon.h"

#include <array>

namespace ravolin {
namespace {

// Two sheets of paper, the front one with three numbered rows: the program writes a template once per pass.
// Colours are the 16 of the Windows palette; "." is transparent.

constexpr const char* const kIcon32[] = {
    "32 32 17 1",
    ". c None",
    "0 c #000000",
    "1 c #800000",
    "2 c #008000",
    "3 c #808000",
    "4 c #000080",
    "5 c #800080",
    "6 c #008080",
    "7 c #C0C0C0",
    "8 c #808080",
    "9 c #FF0000",
    "A c #00FF00",
    "B c #FFFF00",
    "C c #0000FF",
    "D c #FF00FF",
    "E c #00FFFF",
    "F c #FFFFFF",
    "................................",
    "...0000000000000000.............",
    "...0FFFFFFFFFFFFFF00............",
    "...0FFFFFFFFFFFFFF070...8.......",
    "...0FFFFFFFFFFFFFF0770..88......",
    "...0FFFFFFFFFFFFFF07770.8F8.....",
    "...0FFFFFFFFFFFFFF0000008FF8....",
    "...0FF4444444FFFFFFFFFF08FFF8...",
    "...0FF444F444FFFFFFFFFF0888888..",
    "...0FF44FF444FCCCCCCCFF0777778..",
    "...0FF444F444FFFFFFFFFF0777778..",
    "...0FF444F444F88888FFFF0777778..",
    "...0FF44FFF44FFFFFFFFFF0777778..",
    "...0FF4444444FFFFFFFFFF0777778..",
    "...0FF4444444FFFFFFFFFF0777778..",
    "...0FF44FFF44FFFFFFFFFF0777778..",
    "...0FF4444F44FCCCCCCCFF0777778..",
    "...0FF44FFF44FFFFFFFFFF0777778..",
    "...0FF44F4444F88888FFFF0777778..",
    "...0FF44FFF44FFFFFFFFFF0777778..",
    "...0FF4444444FFFFFFFFFF0777778..",
    "...0FF4444444FFFFFFFFFF0777778..",
    "...0FF44FFF44FFFFFFFFFF0777778..",
    "...0FF4444F44FCCCCCCCFF0777778..",
    "...0FF444FF44FFFFFFFFFF0777778..",
    "...0FF4444F44F88888FFFF0777778..",
    "...0FF44FFF44FFFFFFFFFF0777778..",
    "...0FF4444444FFFFFFFFFF0777778..",
    "...0FFFFFFFFFFFFFFFFFFF0777778..",
    "...000000000000000000000777778..",
    ".........877777777777777777778..",
    ".........888888888888888888888..",
};

constexpr const char* const kIcon16[] = {
    "16 16 17 1",       ". c None",         "0 c #000000",      "1 c #800000",      "2 c #008000",
    "3 c #808000",      "4 c #000080",      "5 c #800080",      "6 c #008080",      "7 c #C0C0C0",
    "8 c #808080",      "9 c #FF0000",      "A c #00FF00",      "B c #FFFF00",      "C c #0000FF",
    "D c #FF00FF",      "E c #00FFFF",      "F c #FFFFFF",      ".00000000.......", ".0FFFFFF00......",
    ".0FFFFFF070.8...", ".0FFFFFF000088..", ".0F44FCCCCF08F8.", ".0F44F888FF08888", ".0FFFFFFFFF07778",
    ".0F44FCCCCF07778", ".0F44F888FF07778", ".0FFFFFFFFF07778", ".0F44FCCCCF07778", ".0F44F888FF07778",
    ".0FFFFFFFFF07778", ".000000000007778", ".....87777777778", ".....88888888888",
};

constexpr std::array kImages{IconImage{32, kIcon32}, IconImage{16, kIcon16}};

}  // namespace

std::span<const IconImage> programIcon() { return kImages; }

}  // namespace ravolin
