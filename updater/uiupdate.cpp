#include "updater/uiupdate.h"

#include "dialogs/kavdialog.h"
#include "platform/core/connectionsettings.h"
#include "platform/core/inifile.h"
#include "updater/gradientbar.h"
#include "updater/launcher.h"
#include "updater/packnames.h"
#include "updater/processes.h"
#include "updater/updatestate.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QtDebug>
#include <exception>

namespace kav {

namespace {

constexpr const char* kMissingConfiguration = "配置文件不存在，请联系管理员！";
constexpr const char* kWrongConfiguration = "配置文件错误，请联系管理员！";
constexpr const char* kUpdating = "软件更新中...";
constexpr const char* kCloseClient = "系统升级、请关闭Kav系统！";

// Programs whose running copy in the program folder blocks handing a pack over.
constexpr const char* kSystemPackBlocker = "KavClient2";
constexpr const char* kUserPackBlocker = "DEV";

constexpr int kClientWidth = 584;
constexpr int kClientHeight = 342;
constexpr int kBarHeight = 39;
// Shown over the splash area when there is no splash picture.
constexpr const char* kProductName = "售票系统";
constexpr int kProductNamePixelSize = 36;

} // namespace

TUIUpdate::TUIUpdate(std::filesystem::path programFolder, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint), programFolder_(std::move(programFolder)),
      splash_(new QLabel(this)), prompt_(new QLabel(this)), bar_(new TGradientBar(this)) {
    setObjectName(QStringLiteral("UIUpdate"));
    setWindowTitle(QStringLiteral("自动更新"));
    setFixedSize(kClientWidth, kClientHeight);

    splash_->setObjectName(QStringLiteral("splash"));
    splash_->setScaledContents(true);
    splash_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    splash_->setAlignment(Qt::AlignCenter);
    QFont nameFont(QStringLiteral("宋体"));
    nameFont.setPixelSize(kProductNamePixelSize);
    nameFont.setBold(true);
    splash_->setFont(nameFont);
    splash_->setText(QString::fromUtf8(kProductName));

    prompt_->setObjectName(QStringLiteral("prompt"));
    prompt_->setFont(QFont(QStringLiteral("宋体")));
    QPalette promptPalette = prompt_->palette();
    promptPalette.setColor(QPalette::WindowText, Qt::black);
    prompt_->setPalette(promptPalette);

    bar_->setObjectName(QStringLiteral("progress"));
    bar_->setFixedHeight(kBarHeight);
    // Empty until a transfer reports progress: a bar that starts full would announce a finished download.
    bar_->SetEndColor(QColor(0, 255, 0));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(splash_, 1);
    layout->addWidget(prompt_);
    layout->addWidget(bar_);

    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());

    connect(&http_, &THttpClient::TransferStarted, bar_, [this] { bar_->SetGradientWidth(0); });
    connect(&http_, &THttpClient::TransferProgress, this, &TUIUpdate::ShowProgress);
}

TUIUpdate::~TUIUpdate() = default;

TUIUpdate::TRunEnd TUIUpdate::RunUpdate() {
    runEnd_ = TRunEnd::WindowOpen;
    show();
    repaint();
    LoadSettings();
    if (UpdateSystemPack()) UpdateUserPack();
    return runEnd_;
}

void TUIUpdate::LoadSettings() {
    const std::filesystem::path splashFile = programFolder_ / "images" / "splash.jpg";
    if (std::filesystem::exists(splashFile)) {
        const QPixmap picture(QFile::decodeName(splashFile.c_str()));
        if (!picture.isNull()) splash_->setPixmap(picture);
    }

    processId_ = std::to_string(QCoreApplication::applicationPid());
    baseUrl_.clear();

    if (!std::filesystem::exists(UpdateIniPath())) {
        ShowMessage(kMissingConfiguration);
        return;
    }
    try {
        const ConnectionSettings settings = ReadConnectionSettings(ConnectionSettingsPath(programFolder_));
        if (settings.updateServer.empty() || settings.nodeCode.empty()) {
            ShowMessage(kWrongConfiguration);
            return;
        }
        baseUrl_ = "http://" + settings.updateServer + "/" + settings.nodeCode;
    } catch (const std::exception& error) {
        qWarning("KavUpdate: %s", error.what());
        ShowMessage(kWrongConfiguration);
    }
}

bool TUIUpdate::UpdateSystemPack() {
    std::string file;
    try {
        IniFile ini(UpdateIniPath());
        if (ini.FileExisted())
            CopyDistributionToDownload(ini);
        else
            CreateUpdateIni(ini, processId_);
        const PackState pack = CurrentPack(ini, PackKind::System);
        if (!pack.name.starts_with('c')) return true;
        file = PackFileToFetch(pack.name, pack.state, kSystemPackPrefix);
        std::filesystem::create_directories(PatchFolder());
    } catch (const PackNameError& error) {
        // A pack name without a number cannot say which pack comes next: there is no system pack to ask for.
        qWarning("KavUpdate: %s", error.what());
        return true;
    } catch (const std::exception& error) {
        qWarning("KavUpdate: %s", error.what());
        StartClient();
        return false;
    }

    const std::string url = PackUrl(baseUrl_, file);
    if (!http_.Head(url)) return true;
    try {
        prompt_->setText(QString::fromUtf8(kUpdating));
        if (!http_.Get(url, PatchFolder() / file)) return true;
        HandOver(PackKind::System, file, kSystemPackBlocker);
    } catch (const std::exception& error) {
        qWarning("KavUpdate: %s", error.what());
        StartClient();
    }
    return false;
}

void TUIUpdate::UpdateUserPack() {
    try {
        IniFile ini(UpdateIniPath());
        CopyDistributionToDownload(ini);
        const PackState pack = CurrentPack(ini, PackKind::User);
        const std::string file =
            pack.name.empty() ? "pack1.zip" : PackFileToFetch(pack.name, pack.state, kUserPackPrefix);
        std::filesystem::create_directories(PatchFolder());
        prompt_->setText(QString::fromUtf8(kUpdating));
        if (!http_.Get(PackUrl(baseUrl_, file), PatchFolder() / file)) {
            StartClient();
            return;
        }
        HandOver(PackKind::User, file, kUserPackBlocker);
    } catch (const std::exception& error) {
        qWarning("KavUpdate: %s", error.what());
        StartClient();
    }
}

void TUIUpdate::StartClient() {
    if (!StartProgram(programFolder_, kClientProgramFileName))
        qWarning("KavUpdate: cannot start %s in %s", kClientProgramFileName.data(), programFolder_.c_str());
    runEnd_ = TRunEnd::WindowClosed;
    close();
}

bool TUIUpdate::IsProgramRunning(const std::string& name) const {
    return kav::IsProgramRunning(name, programFolder_);
}

std::filesystem::path TUIUpdate::UpdateIniPath() const {
    return programFolder_ / kUpdateIniFileName;
}

// Relative to the program folder, where the pack is saved and the patch program looks for it, whatever
// the current directory the updater was started from.
std::filesystem::path TUIUpdate::PatchFolder() const {
    return programFolder_ / "patch";
}

void TUIUpdate::ShowMessage(const std::string& text) {
    ShowPromptMessage(text);
}

void TUIUpdate::ShowProgress(qint64 received, qint64 total) {
    // The bar fills as the pack arrives; without an announced size it grows by one pixel a byte.
    bar_->SetGradientWidth(total > 0 ? received * bar_->width() / total : received);
}

// Raises std::runtime_error when "update.ini" cannot be written or the patch program cannot be started,
// so that the caller starts the client instead.
void TUIUpdate::HandOver(PackKind kind, const std::string& file, const std::string& clientName) {
    if (IsProgramRunning(clientName) || IsProgramRunning(std::string(kInstalledClientName))) {
        ShowMessage(kCloseClient);
        runEnd_ = TRunEnd::Terminated;
        close();
        return;
    }
    IniFile ini(UpdateIniPath());
    RecordHandOver(ini, kind, processId_, PackNameOfFile(file));
    if (!StartProgram(programFolder_, kPatchProgramFileName))
        throw std::runtime_error("cannot start " + std::string(kPatchProgramFileName) + " in " +
                                 programFolder_.string());
    if (kind == PackKind::System) {
        runEnd_ = TRunEnd::WindowClosed;
        close();
    }
}

} // namespace kav
