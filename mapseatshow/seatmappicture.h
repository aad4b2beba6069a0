#pragma once
// "生成座位图": a section drawn for posters and the venue's web page: a title, the part of the grid with
// seats and the stage, the seats coloured by price level with their numbers, and a legend of the levels
// with their prices and seat counts, at print resolution (300 dpi, up to 50 pixels per seat column,
// fewer when the section would pass some 60 cm). Written as PNG or as a one-page PDF of the same size,
// atomically.
//
// Threading: GUI thread only (it paints a seat map control).

#include <QByteArray>
#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

class QPainter;

namespace kav {

class TClientDataSet;
class TKavSeatMapShow;

struct TSeatMapLegendRow {
    char Level = 'A';
    std::string Price; // empty for a level without a price
    int Seats = 0;
};

class TSeatMapPicture final {
public:
    static constexpr int Dpi = 300;

    // Takes a copy of the map's section (grid, seats, stage, colours); the map may change afterwards.
    TSeatMapPicture(const TKavSeatMapShow& map, std::string title, std::vector<TSeatMapLegendRow> legend);
    ~TSeatMapPicture();
    TSeatMapPicture(const TSeatMapPicture&) = delete;
    TSeatMapPicture& operator=(const TSeatMapPicture&) = delete;

    QSize Size() const;
    QImage Image() const;
    QByteArray Png() const;
    QByteArray Pdf() const;
    // By the file's extension: ".pdf" a PDF, anything else PNG.
    void Save(const std::filesystem::path& path) const;

private:
    void Paint(QPainter& painter) const;

    struct Section;
    std::unique_ptr<Section> section_;
    std::string title_;
    std::vector<TSeatMapLegendRow> legend_;
};

// The legend of a drawn section: every level its seats have, in the price data's order (levels the
// price data lacks after them, alphabetically), with the price and the number of seats.
std::vector<TSeatMapLegendRow> SeatMapLegend(const TKavSeatMapShow& map, TClientDataSet& prices);

} // namespace kav
