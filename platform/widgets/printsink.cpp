#include "platform/widgets/printsink.h"

#include "platform/core/atomicfile.h"
#include "platform/widgets/cupsqueues.h"

#include <system_error>

namespace kav {

namespace {

// A title as a file name: path separators and control characters become "_".
std::string FileNameOf(const std::string& title) {
    std::string name = title.empty() ? "print" : title;
    for (char& c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    return name;
}

[[noreturn]] void FolderFails(const std::filesystem::path& folder, const std::string& reason) {
    throw EPrinterError("无法写入打印文件夹 " + folder.string() + "：" + reason);
}

} // namespace

TPrintSink::TPrintSink(TPrinterTarget target) : target_(std::move(target)) {
    if (!target_.IsFolder()) {
        CheckQueueReady(target_.queue);
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(target_.folder, error);
    if (error) FolderFails(target_.folder, error.message());
    const std::filesystem::path probe = TemporarySibling(target_.folder / "probe");
    try {
        WriteFileAtomically(probe, {});
    } catch (const std::exception& e) {
        FolderFails(target_.folder, e.what());
    }
    std::filesystem::remove(probe, error);
}

std::filesystem::path TPrintSink::NextFile(const std::string& title, TPrintFormat format) const {
    const std::string base = FileNameOf(title);
    const std::string extension = format == TPrintFormat::Pdf ? ".pdf" : ".prn";
    std::filesystem::path file = target_.folder / (base + extension);
    for (int n = 2; std::filesystem::exists(file); ++n)
        file = target_.folder / (base + " (" + std::to_string(n) + ")" + extension);
    return file;
}

int TPrintSink::Send(const std::string& title, TPrintFormat format, std::string_view bytes,
                     const std::string& media) {
    if (!target_.IsFolder())
        return SubmitCupsJob(target_.queue, title,
                             format == TPrintFormat::Pdf ? kCupsFormatPdf : kCupsFormatRaw, bytes, media);
    try {
        WriteFileAtomically(NextFile(title, format), bytes);
    } catch (const std::exception& e) {
        FolderFails(target_.folder, e.what());
    }
    return 0;
}

} // namespace kav
