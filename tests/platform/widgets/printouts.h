#pragma once
// Printing in tests: a throwaway CUPS daemon with a PDF queue and a raw queue, and readers of what
// was printed (the text of a PDF, the bar and QR codes on it).
//
// TThrowawayCups starts `cupsd` in a temporary folder listening on a socket of its own and points this
// process's libcups at it (CUPS_SERVER). Its queues:
//   KAVPDF  cups-pdf: each job becomes a PDF file in cups-pdf's output folder (needs root, because
//           the cups-pdf backend does);
//   KAVRAW  a raw queue on a network receipt printer (CUPS's socket backend, as a printer on port
//           9100 is reached) played by a listener in this process: RawPrint() gives the bytes of
//           each job as the printer received them.
// Available() is false where cupsd, cups-pdf or root is missing; tests then print into a folder.
// One daemon per process: libcups reads CUPS_SERVER once.

#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kav::test {

class TThrowawayCups final {
public:
    // The process's daemon, started at the first call.
    static TThrowawayCups& Shared();

    TThrowawayCups();
    ~TThrowawayCups();
    TThrowawayCups(const TThrowawayCups&) = delete;
    TThrowawayCups& operator=(const TThrowawayCups&) = delete;

    bool Available() const { return available_; }
    const std::string& WhyNot() const { return whyNot_; }

    static constexpr const char* kPdfQueue = "KAVPDF";
    static constexpr const char* kRawQueue = "KAVRAW";

    // The bytes of the next job the receipt printer received; nullopt when none came in time.
    std::optional<std::string> RawPrint(std::chrono::seconds timeout = std::chrono::seconds(60));
    // Runs lpadmin/cupsaccept-style commands against the daemon ("cupsreject", {"KAVPDF"}).
    bool Run(const std::string& program, const std::vector<std::string>& arguments) const;
    // The id of the job titled `title`, once the daemon has it; 0 when none came in time.
    int JobTitled(const std::string& title, std::chrono::seconds timeout = std::chrono::seconds(60)) const;
    // Waits until the job has left the queue; false when it did not complete in time.
    bool WaitForJob(int jobId, std::chrono::seconds timeout = std::chrono::seconds(60)) const;
    // The PDF cups-pdf made of the job titled `title`; empty when there is none.
    std::filesystem::path PdfOf(const std::string& title, int jobId) const;

private:
    bool Start();
    bool Listen();
    void Serve();

    QTemporaryDir dir_;
    int listener_ = -1;
    int port_ = 0;
    std::thread server_;
    std::mutex mutex_;
    std::condition_variable received_;
    std::deque<std::string> prints_;
    std::unique_ptr<QProcess> daemon_;
    bool available_ = false;
    std::string whyNot_;
};

// The text pdftotext reads from the file, NFKC-normalised (fonts map some ideographs to their
// compatibility forms).
std::string PdfText(const std::filesystem::path& pdf);
// The text as a reader's search finds it: pdftotext keeping the layout, not normalised, so that an
// ideograph read back as a radical shows.
std::string PdfSearchText(const std::filesystem::path& pdf);
// Every code zbarimg reads on the file's pages (PDF rendered at 300 dpi by pdftoppm, or a PNG).
std::vector<std::string> ReadCodes(const std::filesystem::path& file);
// The number of pages and the first page's size in points, from pdfinfo.
struct PdfPageInfo {
    int pages = 0;
    double width = 0, height = 0;
};
PdfPageInfo PdfInfo(const std::filesystem::path& pdf);

} // namespace kav::test
