#include "host/snapin/screenshottour.h"

#include <map>
#include <mutex>

namespace kav {

namespace {

struct Tours {
    std::mutex mutex;
    std::map<std::string, TScreenshotTour> bySnapIn;
};

Tours& TheTours() {
    static Tours tours;
    return tours;
}

} // namespace

TScreenshotTourRegistration::TScreenshotTourRegistration(std::string snapInName, TScreenshotTour tour)
    : name_(std::move(snapInName)) {
    Tours& tours = TheTours();
    std::lock_guard lock(tours.mutex);
    tours.bySnapIn[name_] = std::move(tour);
}

TScreenshotTourRegistration::~TScreenshotTourRegistration() {
    Tours& tours = TheTours();
    std::lock_guard lock(tours.mutex);
    tours.bySnapIn.erase(name_);
}

TScreenshotTour FindScreenshotTour(const std::string& snapInName) {
    Tours& tours = TheTours();
    std::lock_guard lock(tours.mutex);
    const auto found = tours.bySnapIn.find(snapInName);
    return found == tours.bySnapIn.end() ? TScreenshotTour() : found->second;
}

} // namespace kav
