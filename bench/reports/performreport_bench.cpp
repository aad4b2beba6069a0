// The performance collect report for ten performances on the large bench database, as the nightly job
// runs it, against the report's own ledger query alone:
//   BM_KavReportToPdf   kav-report's work in this process (RunReportCommand): login, price levels and seat
//                       counts from the service, sale and payment rows through the data pipe, the report
//                       table, the layout and a finished PDF, over a loopback connection to kav-server
//   BM_LedgerQuery      the report's sale query (the same text) run directly on the database
// The goal is at most twice the ledger query; the ratio is printed at the end. Where the report's time
// goes, over one logged-in connection:
//   BM_ReportTable      the data module's generate run: service calls, ledger and payment rows, the tables
//   BM_Layout           the report engine laying the table out into pages
//   BM_Pdf              those pages painted into a PDF
//
// The database is the shared bench database (bench/server/benchdatabase.h: KAV_BENCH_DB,
// KAV_BENCH_ORDERS, 1,000,000 orders by default).
//   build/bin/bench_performreport --benchmark_counters_tabular=true
#include "benchdatabase.h"
#include "platform/widgets/reportoutput.h"
#include "reports/cli/reportrun.h"
#include "reports/common/reportsql.h"
#include "reports/perform/cdperformcollectreport.h"
#include "rpc/pelioserver.h"
#include "server/serverservices.h"
#include "services/login/tplogin.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

using namespace kav;
using namespace kav::server;

struct ReportServer {
    std::unique_ptr<Database> database = bench::OpenBenchDatabase();
    std::unique_ptr<Connection> connection = database->Connect();
    TSessionSigner sessions;
    ServerServices services{*database, sessions, 256u << 20};
    pelio::TPelioServer server;
    std::vector<std::string> products;
    std::filesystem::path pdf =
        std::filesystem::temp_directory_path() / ("kav-bench-report-" + std::to_string(getpid()) + ".pdf");

    ReportServer() {
        RegisterServices(services);
        server.SetPort(0);
        server.SetActive(true);
        // Ten performances from the middle of the calendar, each with its sales.
        const auto count =
            std::get<std::int64_t>(connection->Select("select count(*) from KAV_PRODUCT")[0][0]);
        for (const auto& row : connection->Select("select PRODUCTCODE from KAV_PRODUCT order by PRODUCTCODE "
                                                  "limit 10 offset ?1",
                                                  {count / 2}))
            products.push_back(std::get<std::string>(row[0]));
        std::cerr << count << " performances; the report covers " << products.front() << " to "
                  << products.back() << "\n";
    }
    ~ReportServer() { std::filesystem::remove(pdf); }

    reports::TReportCommand Command() const {
        reports::TReportCommand command;
        command.kind = reports::TReportKind::Perform;
        command.host = "127.0.0.1";
        command.port = server.ListeningPort();
        command.user = "ADMIN";
        command.password = "admin";
        command.products = products;
        command.pdf = pdf.string();
        return command;
    }
};

ReportServer& Server() {
    static ReportServer server;
    return server;
}

void BM_KavReportToPdf(benchmark::State& state) {
    ReportServer& server = Server();
    const reports::TReportCommand command = server.Command();
    for (auto _ : state) {
        std::ostringstream out, errors;
        if (reports::RunReportCommand(command, out, errors) != reports::kExitWritten) {
            state.SkipWithError(errors.str().c_str());
            return;
        }
    }
    state.counters["pdf_bytes"] = static_cast<double>(std::filesystem::file_size(server.pdf));
}
BENCHMARK(BM_KavReportToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LedgerQuery(benchmark::State& state) {
    ReportServer& server = Server();
    const std::string sql = reports::PerformSaleSQL("01", reports::QuotedCodeList(server.products), {},
                                                    reports::TSaleSource::All, "");
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = server.connection->GetData(sql).size();
    state.counters["packet_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_LedgerQuery)->Unit(benchmark::kMillisecond)->UseRealTime();

// The data module logged in over its own connection, for the steps.
struct ReportSteps {
    pelio::TPelioClient client;
    std::optional<reports::TCDPerformCollectReport> module;
    TClientDataSet products, brief;
    reports::TProductSelection selection;

    ReportSteps() {
        ReportServer& server = Server();
        client.SetHost("127.0.0.1");
        client.SetPort(server.server.ListeningPort());
        module.emplace(client);
        module->SetContext(TTPLogin(&client).Login("ADMIN", "admin"));
        reports::LoadProducts(module->Pipe(), module->Context(), products);
        selection = reports::SelectProducts(products, server.products, brief);
    }
};

ReportSteps& Steps() {
    static ReportSteps steps;
    return steps;
}

void BM_ReportTable(benchmark::State& state) {
    ReportSteps& steps = Steps();
    for (auto _ : state)
        steps.module->Generate(steps.selection, {});
    state.counters["rows"] = steps.module->cdsReport().RecordCount();
}
BENCHMARK(BM_ReportTable)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Layout(benchmark::State& state) {
    ReportSteps& steps = Steps();
    steps.module->Generate(steps.selection, {});
    std::size_t pages = 0;
    for (auto _ : state)
        pages = steps.module->BuildReport().pages.size();
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Pdf(benchmark::State& state) {
    ReportSteps& steps = Steps();
    steps.module->Generate(steps.selection, {});
    const TReportDocument document = steps.module->BuildReport();
    for (auto _ : state)
        WriteReportPdf(document, Server().pdf);
}
BENCHMARK(BM_Pdf)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints the ratio of the two, the figure the goal is about.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // One run, or the median of repetitions.
            if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
            if (run.run_name.function_name == "BM_KavReportToPdf") report_ = run.GetAdjustedRealTime();
            if (run.run_name.function_name == "BM_LedgerQuery") query_ = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (report_ > 0 && query_ > 0)
            std::cout << "report to PDF / ledger query: " << report_ / query_ << " (goal: at most 2)\n";
    }

private:
    double report_ = 0, query_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
