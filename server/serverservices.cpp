#include "server/serverservices.h"

#include "rpc/registry.h"
#include "server/collectreport/collectreportservants.h"
#include "server/shiftclosereport/shiftclosereportservant.h"
#include "server/dbpipeservant.h"
#include "server/forebook/forebookservant.h"
#include "server/loginservant.h"
#include "server/mapseatshowservant.h"
#include "server/mapsectionshowservant.h"
#include "server/reclaim/backgroundreclaimservant.h"
#include "server/membersys/membersysservant.h"
#include "server/salesearchservant.h"
#include "server/ticketfaceservant.h"
#include "server/ticketoffice/ticketofficeservant.h"
#include "services/backgroundreclaim/tpbackgroundreclaim_int.h"
#include "services/dbpipe/tpdbpipe_int.h"
#include "services/freesaleshow/tpfreesaleshow_int.h"
#include "services/login/tplogin_int.h"
#include "services/mapseatshow/tpmapseatshow_int.h"
#include "services/mapsectionshow/tpmapsectionshow_int.h"
#include "services/ticketoffice/tpticketoffice_int.h"

#include <memory>

namespace kav::server {

namespace {

template <bool Pipe> Connection& ThreadConnectionOf(Database& database) {
    thread_local Database* owner = nullptr;
    thread_local std::unique_ptr<Connection> connection;
    if (!connection || owner != &database) {
        connection.reset();
        connection = Pipe ? database.ConnectPipe() : database.Connect();
        owner = &database;
    }
    return *connection;
}

} // namespace

Connection& ThreadConnection(Database& database) {
    return ThreadConnectionOf<false>(database);
}

Connection& ThreadPipeConnection(Database& database) {
    return ThreadConnectionOf<true>(database);
}

void RegisterServices(const ServerServices& services) {
    pelio::ORBRegisterServantClass(std::string(kLoginInterface),
                                   [&services] { return std::make_unique<TKavLogin>(services); });
    pelio::ORBRegisterServantClass(std::string(kDBPipeInterface),
                                   [&services] { return std::make_unique<TKavDBPipe>(services); });
    pelio::ORBRegisterServantClass(std::string(kTicketOfficeInterface),
                                   [&services] { return std::make_unique<TKavTicketOffice>(services); });
    pelio::ORBRegisterServantClass(std::string(kMapSeatShowInterface),
                                   [&services] { return std::make_unique<TKavMapSeatShow>(services); });
    pelio::ORBRegisterServantClass(std::string(kMapSectionShowInterface),
                                   [&services] { return std::make_unique<TKavMapSectionShow>(services); });
    pelio::ORBRegisterServantClass(std::string(kFreeSaleShowInterface),
                                   [&services] { return std::make_unique<TKavFreeSaleShow>(services); });
    pelio::ORBRegisterServantClass(std::string(kBackGroundReclaimInterface),
                                   [&services] { return std::make_unique<TKavBackGroundReclaim>(services); });
    pelio::ORBRegisterServantClass(std::string(kForeBookShowInterface),
                                   [&services] { return std::make_unique<TKavForeBookShow>(services); });
    pelio::ORBRegisterServantClass(std::string(kTicketFaceShowInterface),
                                   [&services] { return std::make_unique<TKavTicketFaceShow>(services); });
    pelio::ORBRegisterServantClass(std::string(kSaleSearchShowInterface),
                                   [&services] { return std::make_unique<TKavSaleSearchShow>(services); });
    pelio::ORBRegisterServantClass(std::string(kMemberSysInterface),
                                   [&services] { return std::make_unique<TKavMemberSys>(services); });
    pelio::ORBRegisterServantClass(std::string(kPerformCollectReportInterface),
                                   [&services] { return std::make_unique<TKavPerformCollectReport>(services); });
    pelio::ORBRegisterServantClass(std::string(kUserCollectReportInterface),
                                   [&services] { return std::make_unique<TKavUserCollectReport>(services); });
    pelio::ORBRegisterServantClass(std::string(kGroupCollectReportInterface),
                                   [&services] { return std::make_unique<TKavGroupCollectReport>(services); });
    pelio::ORBRegisterServantClass(std::string(kShiftCloseReportInterface),
                                   [&services] { return std::make_unique<TKavShiftCloseReport>(services); });
}

} // namespace kav::server
