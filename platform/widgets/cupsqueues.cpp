#include "platform/widgets/cupsqueues.h"

#include <cups/cups.h>
#include <memory>

namespace kav {

namespace {

struct DestFree {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestFree>;

std::string LastCupsError() {
    const char* text = cupsLastErrorString();
    return text && *text ? text : "未知原因";
}

[[noreturn]] void Fail(const std::string& queue, const std::string& reason) {
    throw EPrinterError("无法打开打印机 " + queue + "：" + reason);
}

DestPtr NamedDest(const std::string& queue) {
    DestPtr dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr));
    if (!dest) Fail(queue, "打印机不存在或打印服务没有应答 (" + LastCupsError() + ")");
    return dest;
}

} // namespace

TCupsQueues InstalledQueues() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    TCupsQueues queues;
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance) continue; // an instance is the same queue with other options
        queues.names.emplace_back(dests[i].name);
        if (dests[i].is_default) queues.defaultName = dests[i].name;
    }
    cupsFreeDests(count, dests);
    return queues;
}

void CheckQueueReady(const std::string& queue) {
    const DestPtr dest = NamedDest(queue);
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    if (accepting && std::string_view(accepting) == "false") Fail(queue, "打印机不接受打印任务");
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    if (state && std::string_view(state) == "5") {
        const char* why = cupsGetOption("printer-state-message", dest->num_options, dest->options);
        Fail(queue, std::string("打印机已停止") + (why && *why ? std::string("，") + why : std::string()));
    }
}

int QueueResolution(const std::string& queue, int fallback) {
    const DestPtr dest = NamedDest(queue);
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get());
    if (!info) return fallback;
    int dpi = fallback;
    if (ipp_attribute_t* attr =
            cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest.get(), info, "printer-resolution")) {
        ipp_res_t units = IPP_RES_PER_INCH;
        int yres = 0;
        const int xres = ippGetResolution(attr, 0, &yres, &units);
        if (xres > 0) dpi = units == IPP_RES_PER_CM ? static_cast<int>(xres * 2.54 + 0.5) : xres;
    }
    cupsFreeDestInfo(info);
    return dpi;
}

int SubmitCupsJob(const std::string& queue, const std::string& title, const char* format,
                  std::string_view bytes, const std::string& media) {
    cups_option_t* options = nullptr;
    int optionCount = 0;
    if (!media.empty()) optionCount = cupsAddOption("media", media.c_str(), optionCount, &options);
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.c_str(), title.c_str(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (job == 0) Fail(queue, LastCupsError());

    const auto abandon = [&](const std::string& reason) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), job, 0);
        throw EPrinterError("打印机 " + queue + " 没有收下打印任务 " + title + "：" + reason);
    };
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, queue.c_str(), job, title.c_str(), format, 1) !=
        HTTP_STATUS_CONTINUE)
        abandon(LastCupsError());
    constexpr std::size_t kChunk = 64 * 1024;
    for (std::size_t offset = 0; offset < bytes.size(); offset += kChunk) {
        const std::size_t length = std::min(kChunk, bytes.size() - offset);
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.data() + offset, length) != HTTP_STATUS_CONTINUE) {
            cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str());
            abandon(LastCupsError());
        }
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str()) > IPP_STATUS_OK_CONFLICTING)
        abandon(LastCupsError());
    return job;
}

} // namespace kav
