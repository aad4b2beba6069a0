#pragma once
// The updater's splash window and the update run it drives.
//
// One run asks the update server for the next system pack, then the next user pack, saves a pack it
// gets into the "patch" folder, records it in "update.ini" and starts the patch program; when there is
// nothing to fetch (or anything goes wrong) it starts the client instead. All files are in the program
// folder given to the constructor; the connection settings come from "KavClient.ini" there. Messages
// go through the message dialogs (dialogs/kavdialog.h), which tests answer by script.
//
// Threading: GUI thread only. RunUpdate() blocks until the run is over but keeps the window painting.

#include "updater/httpclient.h"

#include <QWidget>
#include <filesystem>
#include <string>
#include <string_view>

class QLabel;

namespace kav {

class TGradientBar;
enum class PackKind;

// The client as this package installs it; a running copy blocks every hand-over, whatever the pack.
inline constexpr std::string_view kInstalledClientName = "kav-client";

class TUIUpdate final : public QWidget {
    Q_OBJECT

public:
    // How a run left the program.
    enum class TRunEnd {
        WindowOpen,   // a user pack was handed over; the window stays until it is closed
        WindowClosed, // the patch program or the client was started
        Terminated,   // a running client blocked the hand-over; nothing was started
    };

    explicit TUIUpdate(std::filesystem::path programFolder, QWidget* parent = nullptr);
    ~TUIUpdate() override;

    TRunEnd RunUpdate();

    void LoadSettings();
    // False when the run is over (a pack was handed over, the hand-over was refused or the client was
    // started), true when the user pack comes next.
    bool UpdateSystemPack();
    void UpdateUserPack();
    void StartClient();
    bool IsProgramRunning(const std::string& name) const;

    const std::string& BaseURL() const { return baseUrl_; }

private:
    std::filesystem::path UpdateIniPath() const;
    std::filesystem::path PatchFolder() const;
    void ShowMessage(const std::string& text);
    void ShowProgress(qint64 received, qint64 total);
    void HandOver(PackKind kind, const std::string& file, const std::string& clientName);

    std::filesystem::path programFolder_;
    THttpClient http_;
    QLabel* splash_;
    QLabel* prompt_;
    TGradientBar* bar_;
    std::string processId_;
    std::string baseUrl_;
    TRunEnd runEnd_ = TRunEnd::WindowOpen;
};

} // namespace kav
