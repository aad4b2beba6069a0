#pragma once
// Which printer a ticket or a receipt goes to. The rule (docs/printing.md):
//
//   1. [Printer] Folder of KavClient.ini set: every print is a file in that folder (test rigs and
//      installations without printers);
//   2. else the name the document asks for (a ticket face's printer name, the receipt printer's
//      name) when an installed CUPS queue has that name;
//   3. else the queue KavClient.ini names for the kind of print ([Printer] Ticket or Receipt), even
//      when it is not installed: opening it then fails, and the seller is told so;
//   4. else the default queue, or the only queue when there is just one;
//   5. else, when no queue is installed at all, files in the default folder.
// Several queues and none of them the default is an error: the seller must say which to use.
//
// Threading: the settings override is process-wide; set it before printing starts (tests).

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kav {

// Raised when a print cannot be made or delivered: no usable printer, a queue that does not exist
// or refuses jobs, a folder that cannot be written. The message is for the seller and names the
// printer or folder.
class EPrinterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TPrintKind { Ticket, Receipt };

// The [Printer] section of KavClient.ini.
struct TPrinterSettings {
    std::string ticketPrinter;           // Ticket=: queue for ticket faces
    std::string receiptPrinter;          // Receipt=: queue for raw receipts
    std::filesystem::path folder;        // Folder=: print into files here instead of printers
    std::filesystem::path pictureFolder; // Pictures=: where face pictures are looked up
};

// The settings of KavClient.ini beside the program, or the override when one is set. Missing file
// or keys give empty values; Pictures defaults to "pictures" beside the program.
TPrinterSettings CurrentPrinterSettings();
TPrinterSettings ReadPrinterSettings(const std::filesystem::path& iniFile);
// Replaces the file's settings for this process (nullopt: read the file again). Returns the previous
// override.
std::optional<TPrinterSettings> OverridePrinterSettings(std::optional<TPrinterSettings> settings);

// The CUPS queues installed, as the print server lists them.
struct TCupsQueues {
    std::vector<std::string> names;
    std::string defaultName; // empty when there is no default
};

struct TPrinterTarget {
    std::string queue;            // a CUPS queue, or empty for a folder
    std::filesystem::path folder; // when queue is empty

    bool IsFolder() const { return queue.empty(); }
    // "打印机 NAME" or "文件夹 PATH", for messages.
    std::string Describe() const;
};

// The folder used when no queue is installed and none is configured.
std::filesystem::path DefaultPrintFolder();

// Applies the rule above. Raises EPrinterError when several queues exist and none is the default.
TPrinterTarget ChoosePrinter(TPrintKind kind, const std::string& requestedName,
                             const TPrinterSettings& settings, const TCupsQueues& queues);
// The same over the installed queues and the current settings.
TPrinterTarget ChoosePrinter(TPrintKind kind, const std::string& requestedName);

} // namespace kav
