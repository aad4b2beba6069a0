#include "shell/packageloader.h"

#include <QLibrary>
#include <algorithm>
#include <system_error>

namespace kav {

namespace fs = std::filesystem;

struct TPackageLoader::Package {
    fs::path path;
    std::unique_ptr<QLibrary> library;
};

TPackageLoader::TPackageLoader() = default;

TPackageLoader::~TPackageLoader() {
    UnloadAll();
}

std::vector<TPackageFailure> TPackageLoader::LoadFolder(const fs::path& folder) {
    std::error_code error;
    std::vector<fs::path> candidates;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file() &&
            QLibrary::isLibrary(QString::fromStdString(it->path().filename().string())))
            candidates.push_back(it->path());
    }
    if (error) return {{folder.string(), error.message()}};
    std::sort(candidates.begin(), candidates.end());

    std::vector<TPackageFailure> failures;
    for (const fs::path& candidate : candidates) {
        const fs::path real = fs::weakly_canonical(candidate, error);
        const fs::path& path = error ? candidate : real;
        if (std::find(failed_.begin(), failed_.end(), path) != failed_.end() ||
            std::any_of(packages_.begin(), packages_.end(), [&](const Package& p) { return p.path == path; }))
            continue;
        auto library = std::make_unique<QLibrary>(QString::fromStdString(path.string()));
        library->setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!library->load()) {
            failures.push_back({candidate.string(), library->errorString().toStdString()});
            failed_.push_back(path);
            continue;
        }
        packages_.push_back({path, std::move(library)});
    }
    return failures;
}

std::vector<fs::path> TPackageLoader::Loaded() const {
    std::vector<fs::path> paths;
    for (const Package& p : packages_)
        paths.push_back(p.path);
    return paths;
}

void TPackageLoader::UnloadAll() {
    while (!packages_.empty()) {
        packages_.back().library->unload();
        packages_.pop_back();
    }
}

std::vector<TPackageFailure> LoadClientPackages(TPackageLoader& loader,
                                                const std::filesystem::path& programFolder,
                                                const std::optional<std::filesystem::path>& extraFolder) {
    std::vector<TPackageFailure> failures;
    if (std::filesystem::is_directory(programFolder / "plugins"))
        failures = loader.LoadFolder(programFolder / "plugins");
    if (extraFolder) {
        const std::vector<TPackageFailure> more = loader.LoadFolder(*extraFolder);
        failures.insert(failures.end(), more.begin(), more.end());
    }
    return failures;
}

std::string DescribePackageFailures(const std::vector<TPackageFailure>& failures) {
    std::string text = "以下窗口包未能加载:";
    for (const TPackageFailure& f : failures)
        text += "\n" + f.File + ": " + f.Reason;
    return text;
}

} // namespace kav
