#pragma once
// TPackageLoader: loads the window packages, the shared libraries of a folder, and unloads them again.
//
// A package registers its snap-ins from its static initialisers while it is loaded and unregisters them
// from its static destructors while it is unloaded (host/snapin/snapinregistry.h). Every symbol of a package
// is resolved at load, so a package built against something missing fails here, with its reason, rather
// than at its first use.
//
// Lifetime: every snap-in instance created from a package must be destroyed before the package is unloaded
// (UnloadAll or the destructor), since its code goes with it.
// Threading: GUI thread only.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLibrary;

namespace kav {

struct TPackageFailure {
    std::string File;   // the library, or the folder when the folder cannot be read
    std::string Reason; // as the system's loader gives it
};

class TPackageLoader final {
public:
    TPackageLoader();
    ~TPackageLoader();
    TPackageLoader(const TPackageLoader&) = delete;
    TPackageLoader& operator=(const TPackageLoader&) = delete;

    // Loads every shared library directly in `folder`, in file name order; other files are ignored. A
    // library already loaded or already failed (by its real path) is skipped, so it is neither loaded nor
    // reported twice. A package that fails does not stop the others. Returns the failures of this call: one
    // per package, or one for a folder that does not exist.
    std::vector<TPackageFailure> LoadFolder(const std::filesystem::path& folder);

    // Real paths of the loaded packages, in load order.
    std::vector<std::filesystem::path> Loaded() const;

    // Unloads in reverse load order.
    void UnloadAll();

private:
    struct Package;
    std::vector<Package> packages_;
    std::vector<std::filesystem::path> failed_;
};

// Loads the client's packages: those of `programFolder`/plugins when that folder exists, then those of
// `extraFolder` (kav-client --plugins). Returns the failures of both.
std::vector<TPackageFailure> LoadClientPackages(TPackageLoader& loader,
                                                const std::filesystem::path& programFolder,
                                                const std::optional<std::filesystem::path>& extraFolder);

// One line per failure, for the message the shell shows once at start.
std::string DescribePackageFailures(const std::vector<TPackageFailure>& failures);

} // namespace kav
