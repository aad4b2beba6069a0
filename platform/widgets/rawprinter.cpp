#include "platform/widgets/rawprinter.h"

#include "platform/core/textcodec.h"

namespace kav {

std::string ReceiptBytes(std::string_view utf8) {
    return Utf8ToCodePage(utf8, "GBK//TRANSLIT");
}

int PrintRawBytes(const std::string& printerName, const std::string& title, std::string_view bytes) {
    TPrintSink sink(ChoosePrinter(TPrintKind::Receipt, printerName));
    return sink.Send(title, TPrintFormat::Raw, bytes);
}

int WriteRawStringToPrinter(const std::string& printerName, std::string_view text) {
    return PrintRawBytes(printerName, kRawDocumentName, ReceiptBytes(text));
}

} // namespace kav
