#pragma once

#include <string>

namespace barwright::test {

// Kept apart from the program's own copy so that a change to either shows.
inline const std::string kUsage = R"(barwright Version 1.2
Usage:  barwright [OPTIONS] filename
Example:  barwright -x 200 -y 100 -d 1234567890 c:\pdf417.png
Options:
   -h --help        Display this usage information.
   -x --xsize       Barcode image width.
                    Example: -x 200
   -y --ysize       Barcode image height.
                    Example: -y 100
   -n --xdim        X-Dimension.
                    Example: -n 5
   -d --data        Set the data that is to be encoded in the barcode.
                    Example: -d 1234567890Data
   -m --mode        Compaction Mode. Possible Values: 0..3
                    Example: -m 0
   -e --ecl         Error Correction Level. Possible Values: 0..9
                    Example: -e 9
   -c --col         Data Columns. Possible Values: 0..30, 0(auto)
                    Example: -c 3
   -r --row         Data Rows. Possible Values: 0, 3..90, 0(auto)
                    Example: -r 0
   -t --cpdf        Compact PDF. Possible Values: 0 or 1
                    Example: -t 0
   -o --orient      Set the orientation. Possible Values: 0, 90, 180, 270
                    Example: -o 90
   -b --bcolor      Set the background color. Possible Values: 0x000000..0xffffff
                    Example: -b ffff00, means yellow color in RGB
   -f --fcolor      Set the foreground color. Possible Values: 0x000000..0xffffff
                    Example: -r 000000, means black color
   -q --qzone       Show or not the quiet zones. Possible Values: 0 or 1
                    Example: -q 1
   -z --alignh      Set a horizontal barcode alignment. Possible Values: 0..2
                    Example: -z 1
   -v --alignv      Set a vertical  barcode alignment. Possible Values: 0..2
                    Example: -v 1
   -a --y2x         Y to X ratio.
                    Example: -a 4.0
)";

// What a failed run writes on standard error: the banner, then the message.
inline std::string failureText(const std::string& message) {
    return "barwright Version 1.2\n" + message + "\n";
}

}  // namespace barwright::test
