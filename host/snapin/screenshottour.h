#pragma once
// Screenshot tours: how a window package shows its windows in the screenshot run of the shell
// (kav-client --screenshots). The shell opens each registered snap-in and photographs its window; a
// package that registered a tour for the snap-in then drives the window on the server's data (runs a
// search, selects a row) and opens the dialogs it offers. The shell photographs every dialog of ours
// that opens modally (platform/widgets/modaldialog.h) and closes it unanswered, and answers message
// boxes as Esc would; the tour hands the window itself to the sink when it wants a picture of it.
//
// Register from a static initialiser, like the snap-in:
//
//     static const kav::TScreenshotTourRegistration tour{"CIOrderHandler", &TourOfOrderHandler};
//
// Threading: registration from any thread; tours run on the GUI thread.

#include <functional>
#include <string>

class QWidget;

namespace kav {

// Saves a picture of `widget` under `name` (a file name without extension).
using TScreenshotSink = std::function<void(const std::string& name, QWidget* widget)>;
// `window` is the form the snap-in showed.
using TScreenshotTour = std::function<void(QWidget* window, const TScreenshotSink& sink)>;

class TScreenshotTourRegistration final {
public:
    TScreenshotTourRegistration(std::string snapInName, TScreenshotTour tour);
    ~TScreenshotTourRegistration();
    TScreenshotTourRegistration(const TScreenshotTourRegistration&) = delete;
    TScreenshotTourRegistration& operator=(const TScreenshotTourRegistration&) = delete;

private:
    std::string name_;
};

// The tour registered for the snap-in; empty when there is none.
TScreenshotTour FindScreenshotTour(const std::string& snapInName);

} // namespace kav
