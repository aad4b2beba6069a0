#include "printouts.h"

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <cstdlib>
#include <cups/cups.h>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace kav::test {

namespace {

using namespace std::chrono_literals;

bool WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file);
    out << text;
    return static_cast<bool>(out);
}

bool SocketAnswers(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// Runs a program to its end; its standard output, or nothing when it failed.
std::optional<std::string> Output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput().toStdString();
}

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// cups-pdf's output folder: "Out" of its configuration, ${HOME} being the job owner's home.
std::filesystem::path CupsPdfFolder() {
    std::ifstream config("/etc/cups/cups-pdf.conf");
    std::string line, out = "/var/spool/cups-pdf/${USER}";
    while (std::getline(config, line))
        if (line.rfind("Out ", 0) == 0) out = line.substr(4);
    const passwd* user = ::getpwuid(::geteuid());
    const std::string home = user ? user->pw_dir : "/root";
    const std::string name = user ? user->pw_name : "root";
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"${HOME}", home}, {"${USER}", name}})
        for (std::size_t at; (at = out.find(key)) != std::string::npos;)
            out.replace(at, key.size(), value);
    return out;
}

} // namespace

TThrowawayCups& TThrowawayCups::Shared() {
    static TThrowawayCups cups;
    return cups;
}

TThrowawayCups::TThrowawayCups() {
    available_ = Start();
}

TThrowawayCups::~TThrowawayCups() {
    if (daemon_) {
        daemon_->terminate();
        if (!daemon_->waitForFinished(10000)) daemon_->kill();
        daemon_->waitForFinished(10000);
    }
    if (listener_ >= 0) {
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
    }
    if (server_.joinable()) server_.join();
}

bool TThrowawayCups::Listen() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return false;
    port_ = ntohs(address.sin_port);
    server_ = std::thread([this] { Serve(); });
    return true;
}

// One job per connection, as a network receipt printer takes them.
void TThrowawayCups::Serve() {
    while (true) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) return; // the listener was shut down
        std::string bytes;
        char buffer[4096];
        for (ssize_t n; (n = ::recv(connection, buffer, sizeof buffer, 0)) > 0;)
            bytes.append(buffer, static_cast<std::size_t>(n));
        ::close(connection);
        {
            std::lock_guard lock(mutex_);
            prints_.push_back(std::move(bytes));
        }
        received_.notify_all();
    }
}

std::optional<std::string> TThrowawayCups::RawPrint(std::chrono::seconds timeout) {
    std::unique_lock lock(mutex_);
    if (!received_.wait_for(lock, timeout, [this] { return !prints_.empty(); })) return std::nullopt;
    std::string bytes = std::move(prints_.front());
    prints_.pop_front();
    return bytes;
}

bool TThrowawayCups::Start() {
    const std::filesystem::path root = dir_.path().toStdString();
    if (!dir_.isValid()) return whyNot_ = "no temporary folder", false;
    if (!std::filesystem::exists("/usr/sbin/cupsd")) return whyNot_ = "cupsd is not installed", false;
    if (!std::filesystem::exists("/usr/lib/cups/backend/cups-pdf"))
        return whyNot_ = "printer-driver-cups-pdf is not installed", false;
    if (::geteuid() != 0) return whyNot_ = "the cups-pdf backend needs root", false;

    for (const char* sub : {"spool", "cache", "state", "log", "tmp"})
        std::filesystem::create_directories(root / sub);
    // The daemon runs filters and backends as "lp": its temporary and raw output folders must be open,
    // while it refuses a server root that others may write.
    using std::filesystem::perms;
    std::filesystem::permissions(root, perms::owner_all | perms::group_read | perms::group_exec |
                                           perms::others_read | perms::others_exec);
    std::filesystem::permissions(root / "tmp", perms::all | perms::sticky_bit);
    const std::string socket = (root / "cups.sock").string();
    const bool written =
        WriteText(root / "cupsd.conf", "Listen " + socket +
                                           "\nLogLevel warn\n<Location />\n  Order allow,deny\n  Allow all\n"
                                           "</Location>\n<Location /admin>\n  Order allow,deny\n  Allow all\n"
                                           "</Location>\n") &&
        WriteText(root / "cups-files.conf",
                  "ServerRoot " + root.string() + "\nRequestRoot " + (root / "spool").string() +
                      "\nCacheDir " + (root / "cache").string() + "\nStateDir " + (root / "state").string() +
                      "\nTempDir " + (root / "tmp").string() + "\nErrorLog " +
                      (root / "log/error_log").string() + "\nAccessLog " +
                      (root / "log/access_log").string() + "\nPageLog " + (root / "log/page_log").string() +
                      "\nFileDevice Yes\n");
    if (!written) return whyNot_ = "cannot write the daemon's configuration", false;

    daemon_ = std::make_unique<QProcess>();
    daemon_->setProcessChannelMode(QProcess::ForwardedChannels);
    daemon_->start("/usr/sbin/cupsd",
                   {"-f", "-c", Q(root / "cupsd.conf"), "-s", Q(root / "cups-files.conf")});
    if (!daemon_->waitForStarted()) return whyNot_ = "cupsd does not start", false;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!SocketAnswers(socket)) {
        if (daemon_->state() != QProcess::Running || std::chrono::steady_clock::now() > deadline)
            return whyNot_ = "cupsd does not answer on " + socket, false;
        std::this_thread::sleep_for(20ms);
    }
    ::setenv("CUPS_SERVER", socket.c_str(), 1);
    cupsSetServer(socket.c_str());

    if (!Listen()) return whyNot_ = "no port for the receipt printer", false;
    const bool queues =
        Run("lpadmin",
            {"-p", kPdfQueue, "-E", "-v", "cups-pdf:/", "-P", "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"}) &&
        Run("lpadmin", {"-p", kRawQueue, "-E", "-v", "socket://127.0.0.1:" + std::to_string(port_)});
    if (!queues) return whyNot_ = "lpadmin cannot add the test queues", false;
    return true;
}

bool TThrowawayCups::Run(const std::string& program, const std::vector<std::string>& arguments) const {
    QStringList list{"-h",
                     QString::fromStdString(std::filesystem::path(dir_.path().toStdString()) / "cups.sock")};
    for (const std::string& argument : arguments)
        list << QString::fromStdString(argument);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QString::fromStdString(program), list);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

int TThrowawayCups::JobTitled(const std::string& title, std::chrono::seconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        cups_job_t* jobs = nullptr;
        const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
        int id = 0;
        for (int i = 0; i < count; ++i)
            if (jobs[i].title && title == jobs[i].title) id = jobs[i].id;
        cupsFreeJobs(count, jobs);
        if (id) return id;
        std::this_thread::sleep_for(50ms);
    }
    return 0;
}

bool TThrowawayCups::WaitForJob(int jobId, std::chrono::seconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        cups_job_t* jobs = nullptr;
        const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
        ipp_jstate_t state = IPP_JSTATE_PENDING;
        for (int i = 0; i < count; ++i)
            if (jobs[i].id == jobId) state = jobs[i].state;
        cupsFreeJobs(count, jobs);
        if (state == IPP_JSTATE_COMPLETED) return true;
        if (state == IPP_JSTATE_ABORTED || state == IPP_JSTATE_CANCELED) return false;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

// cups-pdf names a file after the job's title, with words of its own added, and the job id.
std::filesystem::path TThrowawayCups::PdfOf(const std::string& title, int jobId) const {
    const std::string ending = "-job_" + std::to_string(jobId) + ".pdf";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(CupsPdfFolder(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(title, 0) == 0 && name.size() >= ending.size() &&
            name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            return entry.path();
    }
    return {};
}

std::string PdfText(const std::filesystem::path& pdf) {
    const auto text = Output("pdftotext", {"-enc", "UTF-8", Q(pdf), "-"});
    return text ? QString::fromStdString(*text).normalized(QString::NormalizationForm_KC).toStdString() : "";
}

std::string PdfSearchText(const std::filesystem::path& pdf) {
    return Output("pdftotext", {"-enc", "UTF-8", "-layout", Q(pdf), "-"}).value_or("");
}

std::vector<std::string> ReadCodes(const std::filesystem::path& file) {
    std::filesystem::path image = file;
    QTemporaryDir pages;
    if (file.extension() == ".pdf") {
        const std::filesystem::path prefix = std::filesystem::path(pages.path().toStdString()) / "page";
        if (!Output("pdftoppm", {"-r", "300", "-png", "-singlefile", Q(file), Q(prefix)})) return {};
        image = prefix.string() + ".png";
    }
    // zbarimg answers 4 when it finds no code; that is an empty list, not a failure.
    QProcess process;
    process.start("zbarimg", {"--quiet", "--raw", Q(image)});
    process.waitForFinished(120000);
    std::vector<std::string> codes;
    std::istringstream lines(process.readAllStandardOutput().toStdString());
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) codes.push_back(line);
    return codes;
}

PdfPageInfo PdfInfo(const std::filesystem::path& pdf) {
    PdfPageInfo info;
    const auto text = Output("pdfinfo", {Q(pdf)});
    if (!text) return info;
    const QString all = QString::fromStdString(*text);
    const auto pages = QRegularExpression(R"(Pages:\s+(\d+))").match(all);
    if (pages.hasMatch()) info.pages = pages.captured(1).toInt();
    const auto size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(all);
    if (size.hasMatch()) {
        info.width = size.captured(1).toDouble();
        info.height = size.captured(2).toDouble();
    }
    return info;
}

} // namespace kav::test
