#pragma once
// TLoginDialog: server host and port, user code and password. "登录" logs in through the gateway; a refused
// login or an unreachable server is shown through the message dialogs and the dialog stays open for
// another try. After a successful login a host or port that differs from the connection settings file is
// written back to it, keeping the file's other settings.
//
// Threading: GUI thread only; the login call blocks it (with the hourglass cursor).

#include "platform/core/connectionsettings.h"

#include <QDialog>
#include <filesystem>
#include <string>

class QLineEdit;
class QSpinBox;

namespace kav {

class ILoginGateway;

class TLoginDialog final : public QDialog {
    Q_OBJECT

public:
    // `gateway` must outlive the dialog.
    TLoginDialog(std::filesystem::path settingsFile, ConnectionSettings settings, ILoginGateway& gateway,
                 QWidget* parent = nullptr);

    // Valid once the dialog was accepted.
    const std::string& ContextText() const noexcept { return context_; }
    std::string Host() const;
    int Port() const;
    std::string UserCode() const;

    // What the "登录" button does.
    void TryLogin();

private:
    void SaveServerAddress();

    std::filesystem::path settingsFile_;
    ILoginGateway& gateway_;
    std::string context_;

    QLineEdit* host_ = nullptr;
    QSpinBox* port_ = nullptr;
    QLineEdit* userCode_ = nullptr;
    QLineEdit* password_ = nullptr;
};

// The settings the dialog starts from: the file's, or the defaults when it cannot be used (the problem is
// then shown, and saving from the dialog repairs the file).
ConnectionSettings ReadSettingsForLogin(const std::filesystem::path& settingsFile);

// Writes the server host and port into the settings file, when they differ from it, keeping its other
// settings and comments. Raises std::runtime_error when the file cannot be written.
void WriteServerAddress(const std::filesystem::path& settingsFile, const std::string& host, int port);

} // namespace kav
