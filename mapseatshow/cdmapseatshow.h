#pragma once
// TCDMapSeatShow: the data module of one seat layout window. It holds the window's session context and
// codes and the datasets the composite seat map is bound to (the section with its floors and their
// rows nested, the prices, the seats), reads them from the map seat service and saves the seats and
// the section's custom stage back. Every window has its own module, so closing one window never takes
// another's data.
//
// Saving answers with the section's seats as the server saved them, which replace the seat data (new
// seats come back with their real codes); an answer without seats means the section now has none. A
// save without an answer, or one that fails, leaves every change pending for the next save; new seats
// carry distinct provisional codes (-1, -2, ...) until then, so a save retried stores each once.
//
// Every remote call goes through the client given, which must outlive the module. Remote failures
// propagate as the access classes raise them. Threading: GUI thread only.

#include "host/kavcontext.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/pelioclient.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kav {

// A save the server did not answer with the seats it saved; nothing is taken as saved.
class EMapSeatSaveUnanswered : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The section whose stage is being saved is not among the map's sections; no other section is
// written in its place.
class EMapSectionMissing : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TCDMapSeatShow final {
public:
    explicit TCDMapSeatShow(pelio::TPelioClient& client);
    TCDMapSeatShow(const TCDMapSeatShow&) = delete;
    TCDMapSeatShow& operator=(const TCDMapSeatShow&) = delete;

    // Stores the text and reads the node code out of it.
    void SetContext(const std::string& text);
    const std::string& Context() const { return context_.GetAsString(); }
    const std::string& NodeCode() const { return nodeCode_; }

    std::string ProductCode, MapCode, SectionCode, SectionName;

    // The performance's prices into cdsPrice: A to H without prices for a performance that has none,
    // and the map-only levels L, S, X, Y, Z, each once.
    void GetPrice();
    // The section with its floors and rows into cdsSection.
    void GetSection();
    // The section's seats into cdsSeat.
    void GetData();
    // Sends the pending seat changes and takes the seats the server answers with; nothing when there
    // are none. Raises EMapSeatSaveUnanswered when the answer holds no packet.
    void SetData();
    // Sends the section's pending custom stage into the map's own row of the section. Raises
    // EMapSectionMissing when the map has no such section.
    void SetSection();

    // Fills the module's fields of a seat row being appended: a provisional code below every code the
    // seat data holds, the node, map and section, status "F".
    void NewSeatRecord(TClientDataSet& seats);

    TClientDataSet& cdsSection() { return section_; }
    // The floors of the current section and the rows of the current floor (nested in cdsSection);
    // valid until cdsSection is loaded again.
    TClientDataSet& cdsFloor();
    TClientDataSet& cdsRow();
    TClientDataSet& cdsPrice() { return price_; }
    TClientDataSet& cdsSeat() { return seat_; }

private:
    void LoadSeats(std::string_view packet);

    pelio::TPelioClient& client_;
    TKavContext context_;
    std::string nodeCode_;
    std::int64_t lowestCode_ = 0; // the lowest seat code of the seat data, provisional ones included
    TClientDataSet section_, price_, seat_;
};

} // namespace kav
