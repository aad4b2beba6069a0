#include "reports/cli/reportoptions.h"

#include <charconv>
#include <map>

namespace kav::reports {

const char* const kReportUsage =
    "usage: kav-report perform|user|group|shift --server HOST:PORT --user CODE --password P [options]\n"
    "  --password P        or the environment variable KAV_REPORT_PASSWORD\n"
    "  --products P1,P2    performances (perform, user, group; required)\n"
    "  --users U1,U2       sellers (user; required)\n"
    "  --groups G1,G2      sales points (group; required)\n"
    "  --seller CODE       shift: another seller than the user\n"
    "  --from \"YYYY-MM-DD hh:mm:ss\", --to \"...\"   the period (a date alone: its start, or its end for "
    "--to);\n"
    "                      shift: one bound alone means its own day, none today\n"
    "  --by-period yes|no  perform: seats not sold by the end of the period (yes) or now (no)\n"
    "  --source 0|1|2      perform: all sales, the site's own, the partner's\n"
    "  --type 0|1|2        user, group: all, system sales, online sales\n"
    "  --side 0|1|2        user, group: all, the theatre's, the partner's\n"
    "  --group-by point|performance   group\n"
    "  --sort time|name|place\n"
    "  --pdf FILE, --xlsx FILE   what to write (at least one)\n"
    "  --layout FILE       another report layout (docs/report-layout.md)\n"
    "exit status: 0 written, 1 refused or failed, 2 bad command line, 3 nothing to report\n";

namespace {

[[noreturn]] void Usage(const std::string& why) {
    throw EReportUsage("kav-report: " + why);
}

std::vector<std::string> Codes(const std::string& option, const std::string& list) {
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        std::string code = list.substr(start, comma - start);
        code.erase(0, code.find_first_not_of(' '));
        code.erase(code.find_last_not_of(' ') + 1);
        if (code.empty()) Usage(option + " 中有空的代码: '" + list + "'");
        codes.push_back(code);
        start = comma + 1;
    }
    return codes;
}

TDateTime Time(const std::string& option, const std::string& text, bool endOfDay) {
    try {
        const TDateTime time = ParseDateTimeIso(text);
        // A date alone means the whole day: from its start, or to its last second.
        return text.size() == 10 && endOfDay ? time + (86399.0 / 86400.0) : time;
    } catch (const DateTimeError&) {
        Usage(option + " '" + text + "' 不是时间 (YYYY-MM-DD hh:mm:ss)");
    }
}

int Choice(const std::string& option, const std::string& value) {
    if (value != "0" && value != "1" && value != "2")
        Usage(option + " 应为 0、1 或 2, 而不是 '" + value + "'");
    return value[0] - '0';
}

} // namespace

TReportCommand ParseReportCommand(const std::vector<std::string>& arguments,
                                  const std::string& environmentPassword) {
    static const std::map<std::string, TReportKind> kinds = {{"perform", TReportKind::Perform},
                                                             {"user", TReportKind::User},
                                                             {"group", TReportKind::Group},
                                                             {"shift", TReportKind::Shift}};
    if (arguments.empty()) Usage("缺少报表种类 (perform, user, group 或 shift)");
    const auto kind = kinds.find(arguments[0]);
    if (kind == kinds.end()) Usage("未知的报表种类 '" + arguments[0] + "'");
    TReportCommand command;
    command.kind = kind->second;
    std::string server;
    std::map<std::string, std::string> given;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option.rfind("--", 0) != 0) Usage("无法使用参数 '" + option + "'");
        if (i + 1 == arguments.size()) Usage(option + " 缺少值");
        if (!given.emplace(option, arguments[i + 1]).second) Usage(option + " 重复");
        ++i;
    }
    const auto only = [&](const std::string& option, std::initializer_list<TReportKind> kinds) {
        if (!given.count(option)) return false;
        for (TReportKind k : kinds)
            if (k == command.kind) return true;
        Usage(option + " 不适用于 " + arguments[0] + " 报表");
    };
    const auto take = [&](const std::string& option) {
        const std::string value = given[option];
        given.erase(option);
        return value;
    };

    if (!given.count("--server")) Usage("缺少 --server HOST:PORT");
    server = take("--server");
    const std::size_t colon = server.rfind(':');
    int port = 0;
    const char* end = server.data() + server.size();
    if (colon == std::string::npos || colon == 0 ||
        std::from_chars(server.data() + colon + 1, end, port).ptr != end || port < 1 || port > 65535)
        Usage("--server 应为 HOST:PORT, 而不是 '" + server + "'");
    command.host = server.substr(0, colon);
    command.port = port;
    if (!given.count("--user")) Usage("缺少 --user");
    command.user = take("--user");
    command.password = given.count("--password") ? take("--password") : environmentPassword;

    using K = TReportKind;
    if (only("--products", {K::Perform, K::User, K::Group}))
        command.products = Codes("--products", take("--products"));
    if (only("--users", {K::User})) command.users = Codes("--users", take("--users"));
    if (only("--groups", {K::Group})) command.groups = Codes("--groups", take("--groups"));
    if (only("--seller", {K::Shift})) command.seller = take("--seller");
    if (given.count("--from")) command.from = Time("--from", take("--from"), false);
    if (given.count("--to")) command.to = Time("--to", take("--to"), true);
    if (command.from && command.to && *command.to < *command.from) Usage("--to 早于 --from");
    if (only("--by-period", {K::Perform})) {
        const std::string value = take("--by-period");
        if (value != "yes" && value != "no") Usage("--by-period 应为 yes 或 no");
        command.byPeriod = value == "yes";
    }
    if (only("--source", {K::Perform})) command.source = std::to_string(Choice("--source", take("--source")));
    if (only("--type", {K::User, K::Group})) command.type = Choice("--type", take("--type"));
    if (only("--side", {K::User, K::Group})) command.side = Choice("--side", take("--side"));
    if (only("--group-by", {K::Group})) {
        const std::string value = take("--group-by");
        if (value != "point" && value != "performance") Usage("--group-by 应为 point 或 performance");
        command.groupByProduct = value == "performance";
    }
    if (only("--sort", {K::Perform, K::User, K::Group})) {
        static const std::map<std::string, std::string> sorts = {
            {"time", "HappenTime"}, {"name", "ProductName"}, {"place", "PlaceName"}};
        const auto sort = sorts.find(take("--sort"));
        if (sort == sorts.end()) Usage("--sort 应为 time、name 或 place");
        command.sortOption = sort->second;
    }
    if (given.count("--pdf")) command.pdf = take("--pdf");
    if (given.count("--xlsx")) command.xlsx = take("--xlsx");
    if (given.count("--layout")) command.layout = take("--layout");
    if (!given.empty()) Usage("无法使用参数 '" + given.begin()->first + "'");

    if (command.kind != K::Shift && command.products.empty()) Usage("缺少 --products");
    if (command.kind == K::User && command.users.empty()) Usage("缺少 --users");
    if (command.kind == K::Group && command.groups.empty()) Usage("缺少 --groups");
    if (command.pdf.empty() && command.xlsx.empty()) Usage("至少需要 --pdf FILE 或 --xlsx FILE");
    return command;
}

} // namespace kav::reports
