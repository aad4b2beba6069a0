#include "platform/widgets/reportdocument.h"

namespace kav {

std::string TReportDocument::PageText(std::size_t page) const {
    std::string text;
    for (const TDrawCommand& command : pages.at(page).commands)
        if (command.kind == TDrawCommand::Kind::Text) text += command.text + "\n";
    return text;
}

std::vector<const TDrawCommand*> TReportDocument::FindTexts(std::size_t page, std::string_view text) const {
    std::vector<const TDrawCommand*> found;
    for (const TDrawCommand& command : pages.at(page).commands)
        if (command.kind == TDrawCommand::Kind::Text && command.text == text) found.push_back(&command);
    return found;
}

} // namespace kav
