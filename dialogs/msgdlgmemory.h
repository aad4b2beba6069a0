#pragma once
// Where the message dialog remembers "don't show this message again" and the answer that goes with it.
//
// An ini file: the item is a Boolean value of the section, the answer the integer "MsgDlgValue" of the same
// section, so dialogs sharing a section share one answer. A relative ini file name is taken in the user's
// configuration folder (the program's folder may not be writable). With the per-user store the ini file
// name is a key ("Software\Kav\Sale"), its parts separated by "\" or "/".
//
// Reading a file that exists but cannot be read, or failing to write it, raises std::runtime_error naming
// the file. Files are written atomically.

#include <string>

namespace kav {

struct MsgDlgMemoryPlace {
    bool useRegistry = false;
    std::string iniFile;
    std::string section;
    std::string item;
};

struct RememberedAnswer {
    bool skip = false; // the user asked not to be shown the message again
    int result = 0;    // the answer to return instead
};

RememberedAnswer ReadRememberedAnswer(const MsgDlgMemoryPlace& place);
void WriteRememberedAnswer(const MsgDlgMemoryPlace& place, const RememberedAnswer& answer);

} // namespace kav
