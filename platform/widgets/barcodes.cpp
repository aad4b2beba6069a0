#include "platform/widgets/barcodes.h"

#include <cmath>
#include <memory>
#include <qrencode.h>
#include <zint.h>

namespace kav {

namespace {

struct ZintDelete {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
struct QrDelete {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

int ModulesOf(float units, float unitsPerModule) {
    return static_cast<int>(std::lround(units / unitsPerModule));
}

} // namespace

TBarcodeSymbol Code128Symbol(std::string_view text) {
    if (text.empty()) throw EBarcode("条码内容为空");
    std::unique_ptr<zint_symbol, ZintDelete> symbol(ZBarcode_Create());
    if (!symbol) throw std::bad_alloc();
    symbol->symbology = BARCODE_CODE128;
    symbol->show_hrt = 0;
    const int rc = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()), 0);
    if (rc >= ZINT_ERROR) throw EBarcode("条码 " + std::string(text) + " 无法编码：" + symbol->errtxt);

    TBarcodeSymbol result;
    result.columns = symbol->width;
    result.rows = 1;
    result.quietZone = 10;
    result.linear = true;
    const float unitsPerModule = symbol->vector->width / static_cast<float>(symbol->width);
    for (const zint_vector_rect* bar = symbol->vector->rectangles; bar; bar = bar->next)
        result.dark.push_back(
            {ModulesOf(bar->x, unitsPerModule), 0, ModulesOf(bar->width, unitsPerModule), 1});
    return result;
}

TBarcodeSymbol QrCodeSymbol(std::string_view text) {
    if (text.empty()) throw EBarcode("二维码内容为空");
    std::unique_ptr<QRcode, QrDelete> code(QRcode_encodeData(
        static_cast<int>(text.size()), reinterpret_cast<const unsigned char*>(text.data()), 0, QR_ECLEVEL_M));
    if (!code) throw EBarcode("二维码 " + std::string(text) + " 无法编码");

    TBarcodeSymbol result;
    result.columns = result.rows = code->width;
    result.quietZone = 4;
    // One rectangle per run of dark modules in a row.
    for (int y = 0; y < code->width; ++y) {
        const unsigned char* row = code->data + static_cast<std::ptrdiff_t>(y) * code->width;
        for (int x = 0; x < code->width;) {
            if (!(row[x] & 1)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < code->width && (row[x] & 1))
                ++x;
            result.dark.push_back({start, y, x - start, 1});
        }
    }
    return result;
}

} // namespace kav
