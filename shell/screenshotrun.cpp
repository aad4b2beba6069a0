#include "shell/screenshotrun.h"

#include "dialogs/dialogresponder.h"
#include "host/orb.h"
#include "host/snapin/screenshottour.h"
#include "host/snapin/snapinregistry.h"
#include "platform/widgets/modaldialog.h"
#include "shell/mainwindow.h"
#include "shell/peliologingateway.h"

#include <QApplication>
#include <QDialog>
#include <QTabWidget>
#include <filesystem>
#include <iostream>

namespace kav {

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Message boxes are answered as Esc would, and told on standard error.
class TEscapeResponder final : public DialogResponder {
public:
    TEscapeResponder() { previous_ = SetDialogResponder(this); }
    ~TEscapeResponder() override { SetDialogResponder(previous_); }
    TEscapeResponder(const TEscapeResponder&) = delete;
    TEscapeResponder& operator=(const TEscapeResponder&) = delete;

    DialogAnswer Respond(const DialogRecord& dialog) override {
        std::cerr << "kav-client: message " << dialog.caption << ": " << dialog.text << "\n";
        return {dialog.escapeResult.value_or(2)};
    }

private:
    DialogResponder* previous_ = nullptr;
};

class TPhotographer final {
public:
    explicit TPhotographer(std::filesystem::path folder) : folder_(std::move(folder)) {}

    void Save(const std::string& name, QWidget* widget) {
        Settle();
        const std::filesystem::path file = folder_ / (name + ".png");
        if (widget->grab().save(QString::fromStdString(file.string()))) {
            std::cout << file.string() << "\n";
        } else {
            std::cerr << "kav-client: cannot write " << file.string() << "\n";
            failed_ = true;
        }
    }

    // A dialog of ours is shown, photographed and closed unanswered.
    int Photograph(QDialog& dialog) {
        dialog.show();
        Settle();
        Save((dialog.objectName().isEmpty() ? dialog.windowTitle() : dialog.objectName()).toStdString(), &dialog);
        dialog.hide();
        return QDialog::Rejected;
    }

    bool Failed() const noexcept { return failed_; }

private:
    std::filesystem::path folder_;
    bool failed_ = false;
};

} // namespace

int RunScreenshots(const TScreenshotOptions& options, TPackageLoader& packages) {
    std::error_code error;
    std::filesystem::create_directories(options.folder, error);
    if (error) {
        std::cerr << "kav-client: cannot create " << options.folder.string() << ": " << error.message() << "\n";
        return 1;
    }
    if (packages.Loaded().empty()) std::cerr << "kav-client: no window packages loaded\n";

    std::string context;
    try {
        TPelioLoginGateway gateway(ORB());
        context = gateway.Login(options.host, options.port, options.userCode, options.password);
    } catch (const std::exception& e) {
        std::cerr << "kav-client: login failed: " << e.what() << "\n";
        return 1;
    }

    TPhotographer photographer(options.folder);
    TEscapeResponder messages;
    const TModalDialogHook previousHook =
        SetModalDialogHook([&photographer](QDialog& dialog) { return photographer.Photograph(dialog); });
    bool opened = true;
    {
        TKavMainWindow window(MakeShellSession(context, options.host, options.port),
                              [] { return ORB().Connected(); });
        window.resize(1366, 860);
        window.show();
        Settle();
        for (const TClientSnapInEntry& entry : RegisteredClientSnapIns()) {
            if (!window.OpenSnapIn(entry.Name)) {
                opened = false;
                continue;
            }
            Settle();
            QWidget* form = window.Tabs()->currentWidget();
            if (!form) continue;
            photographer.Save(form->objectName().isEmpty() ? entry.Name : form->objectName().toStdString(), &window);
            if (const TScreenshotTour tour = FindScreenshotTour(entry.Name)) {
                try {
                    tour(form, [&photographer](const std::string& name, QWidget* widget) {
                        photographer.Save(name, widget);
                    });
                } catch (const std::exception& e) {
                    std::cerr << "kav-client: " << entry.Name << ": " << e.what() << "\n";
                    opened = false;
                }
            }
        }
    }
    SetModalDialogHook(previousHook);
    return opened && !photographer.Failed() ? 0 : 1;
}

} // namespace kav
