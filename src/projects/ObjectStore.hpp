// ObjectStore: the model objects of the running application, kept in one SQLite database.
#pragma once

#include "projects/Project.hpp"
#include "simulation/Observable.hpp"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

struct sqlite3;

namespace pelagrin {

/// The database cannot be opened, is of a newer schema, or refused a write; the message says which.
class ObjectStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Holds projects with their regions, parameters and particle settings, one table per type, and saves every
/// change as it happens: each field of an inserted object is observed, and an assignment reaches the database
/// in its own transaction, so no save command exists and nothing is lost when the app quits. Objects are
/// never deleted. App thread only.
class ObjectStore {
public:
    /// The schema this build writes; older databases are migrated forward on open.
    static constexpr int kSchemaVersion = 1;

    /// The process-wide store in "Pelagrin.sqlite" of the user data folder, opened on first use.
    static ObjectStore& shared();

    /// Opens (or creates) the database at `path` and brings back every stored object, observed again.
    /// Throws `ObjectStoreError`.
    explicit ObjectStore(const std::filesystem::path& path);
    ~ObjectStore();
    ObjectStore(const ObjectStore&) = delete;
    ObjectStore& operator=(const ObjectStore&) = delete;

    /// Stores `project` and the objects it refers to, and saves their later changes. Throws
    /// `ObjectStoreError` when a project with the same id is already stored; nothing is written then.
    void insert(const std::shared_ptr<Project>& project);

    /// Every stored project, in insertion order.
    const std::vector<std::shared_ptr<Project>>& projects() const { return projects_; }

private:
    class Tracker;

    void migrate();
    void fetchAll();

    sqlite3* database_ = nullptr;
    std::unique_ptr<Tracker> tracker_;
    std::vector<std::shared_ptr<Project>> projects_;
};

} // namespace pelagrin
