#include "orderhandler/odrhfiles.h"

#include "platform/core/programfolder.h"

namespace kav::orderhandler {

namespace {

std::filesystem::path& ChosenFolder() {
    static std::filesystem::path folder;
    return folder;
}

} // namespace

std::filesystem::path OrderHandlerFolder() {
    return ChosenFolder().empty() ? ProgramFolder() : ChosenFolder();
}

void SetOrderHandlerFolder(std::filesystem::path folder) {
    ChosenFolder() = std::move(folder);
}

std::filesystem::path ConfigureFilePath() {
    return OrderHandlerFolder() / kConfigureFileName;
}

std::filesystem::path OptionsSetFilePath() {
    return OrderHandlerFolder() / kOptionsSetFileName;
}

} // namespace kav::orderhandler
