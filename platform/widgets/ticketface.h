#pragma once
// TKavTicketFace: the ticket face component. It is bound to three datasets (not owned, they must
// outlive the binding): the ticket record to print (data source), the face's elements (element
// source) and the faces (face source, positioned on the face to use). UpdateFace and UpdateElements
// take a copy of the face's layout and elements; Print renders the current ticket record on them as
// one page and sends it to the printer as one job.
//
// The printer is chosen from the face's printer name (printerchoice.h) and opened by OpenPrinter,
// which a seller's action calls before any ticket is made, so that a dead printer stops the sale
// before anything is numbered. Pages are rendered as PDF at the printer's resolution (300 dpi for a
// folder) and submitted through libcups, which tells whether the queue took the job.
//
// Threading: GUI thread only (fonts, libcups).

#include "platform/widgets/facelayout.h"
#include "platform/widgets/printsink.h"

#include <QByteArray>
#include <QImage>
#include <memory>
#include <string>
#include <vector>

namespace kav {

class TClientDataSet;

class TKavTicketFace final {
public:
    TKavTicketFace();
    ~TKavTicketFace();
    TKavTicketFace(const TKavTicketFace&) = delete;
    TKavTicketFace& operator=(const TKavTicketFace&) = delete;

    void SetDataSource(TClientDataSet* ticket) { ticket_ = ticket; }
    void SetElementSource(TClientDataSet* elements) { elements_ = elements; }
    void SetFaceSource(TClientDataSet* faces) { faces_ = faces; }

    // Takes the current face record; a printer opened for another printer name is closed.
    void UpdateFace();
    // Takes every row of the element source.
    void UpdateElements();
    const TFaceLayout& Layout() const { return layout_; }
    const std::vector<TFaceElement>& Elements() const { return faceElements_; }

    // Raises ETicketFace when the face taken cannot make a readable ticket, or there is no face.
    void CheckUsable() const;

    // Chooses and opens the printer for the face taken, again at every call, so that each run of
    // prints learns of a printer that went away since the last. Raises EPrinterError, naming the
    // printer, when it cannot be opened; no printer is open then.
    void OpenPrinter();
    // The opened printer; null before OpenPrinter.
    const TPrintSink* Printer() const { return printer_.get(); }
    int Resolution() const { return dpi_; }

    // Prints one ticket from the current record of the data source, opening the printer first when
    // none is open, and returns the CUPS job id (0 for a folder). Raises ETicketFace (a field the face prints
    // is not in the ticket record), EBarcode or EPrinterError; nothing was printed then.
    int Print();

    // The current ticket as one PDF page, or as an image, at `dpi`.
    QByteArray RenderPdf(int dpi);
    QImage RenderImage(int dpi);

    // The title of the current ticket's print job (and file): "ticket-<BARCODE>".
    std::string JobTitle() const;

private:
    std::string FieldText(const std::string& fieldName) const;
    void CheckTicketFields() const;

    TClientDataSet* ticket_ = nullptr;
    TClientDataSet* elements_ = nullptr;
    TClientDataSet* faces_ = nullptr;
    TFaceLayout layout_;
    std::vector<TFaceElement> faceElements_;
    TPictureCache pictures_;
    std::unique_ptr<TPrintSink> printer_;
    int dpi_ = 300;
};

} // namespace kav
