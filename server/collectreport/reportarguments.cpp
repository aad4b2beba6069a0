#include "server/collectreport/reportarguments.h"

#include "platform/core/datetime.h"
#include "rpc/exceptions.h"

namespace kav::server {

namespace {

[[noreturn]] void Refuse(std::string_view what, const std::string& why) {
    throw pelio::EosRemoteException(std::string(what) + why);
}

void CheckCount(std::size_t count, std::string_view what) {
    if (count > kMaxReportCodes)
        Refuse(what,
               "过多: " + std::to_string(count) + " 个, 最多 " + std::to_string(kMaxReportCodes) + " 个");
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::vector<std::string> ParseQuotedCodes(std::string_view list, std::string_view what) {
    std::vector<std::string> codes;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < list.size() && IsBlank(list[i]))
            ++i;
    };
    skipBlanks();
    if (i == list.size()) Refuse(what, "为空");
    while (true) {
        if (list[i] != '\'') Refuse(what, "格式有误: 第 " + std::to_string(i + 1) + " 个字符应为单引号");
        std::string code;
        for (++i;; ++i) {
            if (i == list.size()) Refuse(what, "格式有误: 单引号未结束");
            if (list[i] == '\'') {
                if (i + 1 < list.size() && list[i + 1] == '\'') {
                    code += '\'';
                    ++i;
                    continue;
                }
                ++i;
                break;
            }
            code += list[i];
        }
        if (code.empty()) Refuse(what, "中有空的代码");
        codes.push_back(std::move(code));
        CheckCount(codes.size(), what);
        skipBlanks();
        if (i == list.size()) return codes;
        if (list[i] != ',') Refuse(what, "格式有误: 第 " + std::to_string(i + 1) + " 个字符应为逗号");
        ++i;
        skipBlanks();
        if (i == list.size()) Refuse(what, "格式有误: 逗号后缺少代码");
    }
}

std::vector<std::string> ParseCodeLines(std::string_view lines, std::string_view what) {
    std::vector<std::string> codes;
    while (!lines.empty()) {
        const std::size_t end = lines.find('\n');
        std::string_view line = lines.substr(0, end);
        lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
        while (!line.empty() && IsBlank(line.back()))
            line.remove_suffix(1);
        while (!line.empty() && IsBlank(line.front()))
            line.remove_prefix(1);
        if (!line.empty()) codes.emplace_back(line);
    }
    CheckCount(codes.size(), what);
    return codes;
}

std::optional<std::string> ParseReportTime(std::string_view text, std::string_view what) {
    if (text.empty()) return std::nullopt;
    TDateTime time = 0;
    try {
        time = ParseDateTimeIso(std::string(text));
    } catch (const DateTimeError&) {
        Refuse(what, " '" + std::string(text) + "' 不是有效的时间");
    }
    if (DateOf(time) == 0) return std::nullopt;
    return FormatDateTimeIso(time);
}

} // namespace kav::server
