#pragma once
// What a ticket face is made of, read from the rows of the ticket face service (KAV_TICKETFACE and
// KAV_TICKETFACE_ELEMENT), and how one element is painted. Elements are the placed elements of
// elementmodel.h: positions and sizes in the face's units, pixels of 96 dpi, which the painter scales
// to the printer's resolution.
//
// Element types (ELEMENTTYPE), docs/printing.md:
//   TSText     its CAPTION
//   TSField    the ticket record's field named by CAPTION
//   TSImage    a picture: EXTRASTRING "mode|file" (the file after the last "|"), mode "stretch" fills
//              the element, any other keeps the picture's proportions; the file is looked up in the
//              picture folder
//   TSBarcode  Code 128 of the field named by CAPTION (BARCODE when empty)
//   TSQRCode   QR code of the field named by CAPTION (QRCODE when empty)
// FONTHEIGHT is in points; BORDER draws lines: 1 left, 2 top, 4 right, 8 bottom (15 a box).

#include "platform/widgets/elementmodel.h"

#include <QImage>
#include <QRect>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class QPainter;

namespace kav {

class TClientDataSet;

// A face that cannot make a readable ticket; the message is for the seller.
class ETicketFace : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TFaceElementType { Text, Field, Image, Barcode, QrCode, Unknown };

struct TFaceElement : TElementModel {
    int number = 0;
    std::string typeName;
    TFaceElementType type = TFaceElementType::Unknown;

    // The ticket field the element prints; empty for texts and pictures.
    std::string FieldName() const;
};

struct TFaceLayout {
    std::string style; // TICKETSTYLE
    int width = 0;     // face units
    int height = 0;
    int stubCount = 0; // SUBQUANTITY: counterfoils, each SUBWIDTH wide
    int stubWidth = 0;
    bool stubsAtLeft = false;
    std::string printerName; // PRINTNAME
    std::string backPicture; // BACKPIC, drawn under the elements
};

TFaceElementType FaceElementTypeOf(const std::string& typeName);
// The current record of a face dataset; every element row of an element dataset, in order.
TFaceLayout ReadFaceLayout(TClientDataSet& faces);
std::vector<TFaceElement> ReadFaceElements(TClientDataSet& elements);

// Raises ETicketFace when the face cannot print a ticket: no size, an element of unknown type or
// without size, or nothing that prints the ticket's own data (every ticket would look the same).
void CheckFaceUsable(const TFaceLayout& layout, const std::vector<TFaceElement>& elements);

// Pictures by file, loaded once; a missing or unreadable file gives no picture.
class TPictureCache {
public:
    explicit TPictureCache(std::filesystem::path folder = {}) : folder_(std::move(folder)) {}
    void SetFolder(std::filesystem::path folder);
    const QImage* Find(const std::string& file);

private:
    std::filesystem::path folder_;
    std::map<std::string, std::optional<QImage>> loaded_;
};

// The text a field prints: dates as "yyyy-mm-dd hh:mm", money with two decimals.
using TFieldText = std::function<std::string(const std::string& fieldName)>;

// Paints the face (background picture, stub separators, elements) onto a page `dpi` dots per inch
// whose top left is the painter's origin. Raises EBarcode for a code that cannot be encoded.
void PaintFace(QPainter& painter, double dpi, const TFaceLayout& layout,
               const std::vector<TFaceElement>& elements, const TFieldText& fieldText,
               TPictureCache& pictures);

} // namespace kav
