#include "platform/widgets/ticketface.h"

#include "platform/core/datetime.h"
#include "platform/dataset/clientdataset.h"
#include "platform/widgets/cupsqueues.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <cstdio>

namespace kav {

namespace {

constexpr int kFolderResolution = 300;

double PointsOf(int faceUnits) {
    return faceUnits * 72.0 / 96.0;
}

// The CUPS media of a face: its size in millimetres, one decimal.
std::string MediaOf(const TFaceLayout& layout) {
    char media[64];
    std::snprintf(media, sizeof media, "Custom.%.1fx%.1fmm", layout.width * 25.4 / 96.0,
                  layout.height * 25.4 / 96.0);
    return media;
}

} // namespace

TKavTicketFace::TKavTicketFace() = default;
TKavTicketFace::~TKavTicketFace() = default;

void TKavTicketFace::UpdateFace() {
    layout_ = faces_ ? ReadFaceLayout(*faces_) : TFaceLayout{};
    pictures_.SetFolder(CurrentPrinterSettings().pictureFolder);
    printer_.reset(); // another face may name another printer
}

void TKavTicketFace::UpdateElements() {
    faceElements_ = elements_ ? ReadFaceElements(*elements_) : std::vector<TFaceElement>{};
}

void TKavTicketFace::CheckUsable() const {
    if (!faces_ || !faces_->Active() || faces_->IsEmpty()) throw ETicketFace("没有票面");
    CheckFaceUsable(layout_, faceElements_);
}

void TKavTicketFace::OpenPrinter() {
    printer_.reset();
    auto printer = std::make_unique<TPrintSink>(ChoosePrinter(TPrintKind::Ticket, layout_.printerName));
    dpi_ = printer->Target().IsFolder() ? kFolderResolution
                                        : QueueResolution(printer->Target().queue, kFolderResolution);
    printer_ = std::move(printer);
}

std::string TKavTicketFace::JobTitle() const {
    const std::string barcode = FieldText("BARCODE");
    return barcode.empty() ? "ticket" : "ticket-" + barcode;
}

std::string TKavTicketFace::FieldText(const std::string& fieldName) const {
    if (!ticket_ || !ticket_->Active() || ticket_->IsEmpty()) return {};
    TField* field = ticket_->FindField(fieldName);
    if (!field || field->IsNull()) return {};
    switch (field->DataType()) {
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
        return FormatDateTimeIso(field->AsDateTime()).substr(0, 16);
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD: {
        char text[48];
        std::snprintf(text, sizeof text, "%.2f", field->AsFloat());
        return text;
    }
    default:
        return field->AsString();
    }
}

void TKavTicketFace::CheckTicketFields() const {
    if (!ticket_ || !ticket_->Active() || ticket_->IsEmpty()) throw ETicketFace("没有要打印的票张数据");
    for (const TFaceElement& e : faceElements_) {
        const std::string name = e.FieldName();
        if (!name.empty() && !ticket_->FindField(name))
            throw ETicketFace("票面 " + layout_.style + " 的元素 " + std::to_string(e.number) +
                              " 要打印的字段 " + name + " 不在票张数据中");
    }
}

QByteArray TKavTicketFace::RenderPdf(int dpi) {
    CheckTicketFields();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(dpi);
        writer.setPageSize(QPageSize(QSizeF(PointsOf(layout_.width), PointsOf(layout_.height)),
                                     QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF());
        writer.setTitle(QString::fromStdString(JobTitle()));
        writer.setCreator(QStringLiteral("kav-client"));
        QPainter painter(&writer);
        PaintFace(
            painter, dpi, layout_, faceElements_, [this](const std::string& f) { return FieldText(f); },
            pictures_);
    }
    return buffer.data();
}

QImage TKavTicketFace::RenderImage(int dpi) {
    CheckTicketFields();
    const double scale = dpi / 96.0;
    QImage image(static_cast<int>(std::ceil(layout_.width * scale)),
                 static_cast<int>(std::ceil(layout_.height * scale)), QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintFace(
        painter, dpi, layout_, faceElements_, [this](const std::string& f) { return FieldText(f); },
        pictures_);
    return image;
}

int TKavTicketFace::Print() {
    if (!printer_) OpenPrinter();
    const QByteArray page = RenderPdf(dpi_);
    return printer_->Send(JobTitle(), TPrintFormat::Pdf,
                          std::string_view(page.constData(), static_cast<std::size_t>(page.size())),
                          MediaOf(layout_));
}

} // namespace kav
