#pragma once
// Bar codes and QR codes as dark rectangles on a grid of modules, ready to be painted at any
// resolution: Code 128 from libzint, QR codes from libqrencode. The symbols carry no quiet zone;
// the painter keeps one around them.
//
// Threading: none; both libraries are reentrant, so symbols may be made on any thread.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

// Raised when a text cannot be encoded (empty, too long, a character the symbology lacks).
class EBarcode : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TModuleRect {
    int x = 0, y = 0, width = 0, height = 0; // in modules
};

struct TBarcodeSymbol {
    int columns = 0;     // modules across
    int rows = 0;        // modules down; 1 for a linear bar code, whose bars fill the height
    int quietZone = 0;   // modules of white the symbol needs on each side
    bool linear = false; // bars stretch to the height given; a matrix code keeps square modules
    std::vector<TModuleRect> dark;
};

// Code 128 of `text` (printable ASCII).
TBarcodeSymbol Code128Symbol(std::string_view text);
// QR code of `text` (UTF-8, as bytes), error correction level M.
TBarcodeSymbol QrCodeSymbol(std::string_view text);

} // namespace kav
