// ObjectStore: schema and migrations, row mapping of the four model types, and change tracking.
#include "projects/ObjectStore.hpp"

#include "support/UserFolders.hpp"

#include <cstdint>
#include <initializer_list>
#include <iostream>
#include <sqlite3.h>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>

namespace pelagrin {
namespace {

// Step n brings a database of schema version n to n + 1. Steps are only ever appended: a released database
// must keep migrating.
constexpr const char* kMigrations[ObjectStore::kSchemaVersion] = {
    R"sql(
    CREATE TABLE particle_settings (
        rowid INTEGER PRIMARY KEY, radius REAL NOT NULL, density REAL NOT NULL, count INTEGER NOT NULL,
        colorMode INTEGER NOT NULL);
    CREATE TABLE simulation_parameters (
        rowid INTEGER PRIMARY KEY, flowSpeed REAL NOT NULL, turbulence REAL NOT NULL, viscosity REAL NOT NULL,
        gravityScale REAL NOT NULL, flowDirection REAL NOT NULL, simulationDuration REAL NOT NULL,
        waterDepth REAL NOT NULL, windSpeed REAL NOT NULL, windDirection REAL NOT NULL,
        particleSettings INTEGER REFERENCES particle_settings(rowid));
    CREATE TABLE region (
        rowid INTEGER PRIMARY KEY, name TEXT NOT NULL, latitude REAL NOT NULL, longitude REAL NOT NULL,
        flowDirection REAL NOT NULL, emissionLat REAL NOT NULL, emissionLon REAL NOT NULL,
        emissionRadius REAL NOT NULL, waterVerticesSimData BLOB, emissionPointSimData BLOB,
        waterVerticesData BLOB);
    CREATE TABLE project (
        rowid INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, name TEXT NOT NULL, createdAt REAL NOT NULL,
        directoryURL TEXT, region INTEGER REFERENCES region(rowid),
        parameters INTEGER REFERENCES simulation_parameters(rowid));
    )sql",
};

[[noreturn]] void fail(sqlite3* database, const std::string& doing) {
    throw ObjectStoreError("object store: " + doing + ": " + sqlite3_errmsg(database));
}

void execute(sqlite3* database, const char* sql) {
    if (sqlite3_exec(database, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(database, "cannot run \"" + std::string(sql).substr(0, 40) + "\"");
    }
}

class Statement {
public:
    Statement(sqlite3* database, const std::string& sql) : database_(database) {
        if (sqlite3_prepare_v2(database, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) {
            fail(database, "cannot prepare \"" + sql + "\"");
        }
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, double value) { sqlite3_bind_double(statement_, index, value); }
    void bind(int index, std::int64_t value) { sqlite3_bind_int64(statement_, index, value); }
    void bind(int index, const Timestamp& value) { bind(index, value.secondsSince2001); }
    // The 64-bit forms take a size_t's length as it is: the int forms would cut one beyond 2 GiB to a wrong
    // length. A value beyond SQLite's own limit is refused rather than stored as NULL.
    void bind(int index, const std::string& value) {
        check(sqlite3_bind_text64(statement_, index, value.data(), value.size(), SQLITE_TRANSIENT,
                                  SQLITE_UTF8));
    }
    void bind(int index, const std::optional<std::string>& value) {
        if (value) {
            check(sqlite3_bind_blob64(statement_, index, value->data(), value->size(), SQLITE_TRANSIENT));
        } else {
            sqlite3_bind_null(statement_, index);
        }
    }
    void bind(int index, std::optional<std::int64_t> row) {
        row ? bind(index, *row) : void(sqlite3_bind_null(statement_, index));
    }

    /// Runs the statement; true while it yields rows.
    bool step() {
        const int status = sqlite3_step(statement_);
        if (status != SQLITE_ROW && status != SQLITE_DONE) {
            fail(database_, "cannot write or read");
        }
        return status == SQLITE_ROW;
    }

    void read(int column, double& value) const { value = sqlite3_column_double(statement_, column); }
    void read(int column, std::int64_t& value) const { value = sqlite3_column_int64(statement_, column); }
    void read(int column, Timestamp& value) const { read(column, value.secondsSince2001); }
    void read(int column, std::string& value) const {
        const auto* text = sqlite3_column_text(statement_, column);
        value.assign(text == nullptr ? "" : reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
    }
    void read(int column, std::optional<std::string>& value) const {
        if (sqlite3_column_type(statement_, column) == SQLITE_NULL) {
            value.reset();
            return;
        }
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        value.emplace(bytes == nullptr ? "" : bytes,
                      static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
    }
    std::optional<std::int64_t> row(int column) const {
        if (sqlite3_column_type(statement_, column) == SQLITE_NULL) {
            return std::nullopt;
        }
        return sqlite3_column_int64(statement_, column);
    }

private:
    void check(int bound) const {
        if (bound != SQLITE_OK) {
            fail(database_, "cannot store a value");
        }
    }

    sqlite3* database_;
    sqlite3_stmt* statement_ = nullptr;
};

/// Rolls back unless committed, so that a failed multi-row change leaves no half of itself behind.
class Transaction {
public:
    explicit Transaction(sqlite3* database) : database_(database) { execute(database_, "BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (!committed_) {
            sqlite3_exec(database_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() {
        execute(database_, "COMMIT");
        committed_ = true;
    }

private:
    sqlite3* database_;
    bool committed_ = false;
};

template <class Model> constexpr const char* kTable = nullptr;
template <> constexpr const char* kTable<ParticleSettings> = "particle_settings";
template <> constexpr const char* kTable<SimulationParameters> = "simulation_parameters";
template <> constexpr const char* kTable<Region> = "region";
template <> constexpr const char* kTable<Project> = "project";

template <class Model> std::string columnList(Model& model) {
    std::string columns;
    model.forEachField(
        [&](const char* key, auto&) { columns += std::string(columns.empty() ? "" : ", ") + key; });
    return columns;
}

template <class Model> std::shared_ptr<Model> blank() {
    return std::make_shared<Model>();
}
template <> std::shared_ptr<Region> blank<Region>() {
    return std::make_shared<Region>("", 0.0, 0.0);
}

/// One stored object, just read, with the rows its relationships point at.
template <class Model> struct Fetched {
    std::int64_t row = 0;
    std::shared_ptr<Model> model;
    std::vector<std::optional<std::int64_t>> links;
};

template <class Model>
std::vector<Fetched<Model>> fetchTable(sqlite3* database, std::initializer_list<const char*> relations) {
    constexpr bool isProject = std::is_same_v<Model, Project>;
    std::string sql = "SELECT rowid";
    for (const char* relation : relations) {
        sql += std::string(", ") + relation;
    }
    if constexpr (isProject) {
        Project prototype("");
        sql += ", id, " + columnList(prototype);
    } else {
        sql += ", " + columnList(*blank<Model>());
    }
    Statement select(database, sql + " FROM " + kTable<Model> + " ORDER BY rowid");
    std::vector<Fetched<Model>> fetched;
    while (select.step()) {
        int column = 0;
        Fetched<Model> f;
        select.read(column++, f.row);
        for (std::size_t i = 0; i < relations.size(); ++i) {
            f.links.push_back(select.row(column++));
        }
        if constexpr (isProject) {
            std::string text;
            select.read(column++, text);
            const std::optional<Uuid> id = Uuid::fromString(text);
            if (!id) {
                throw ObjectStoreError("object store: a project has the malformed id \"" + text + "\"");
            }
            f.model = std::make_shared<Project>("", Timestamp{}, *id);
        } else {
            f.model = blank<Model>();
        }
        f.model->forEachField([&](const char*, auto& field) {
            std::decay_t<decltype(field.get())> value;
            select.read(column++, value);
            field = std::move(value);
        });
        fetched.push_back(std::move(f));
    }
    return fetched;
}

template <class Model>
std::shared_ptr<Model> modelAt(const std::vector<Fetched<Model>>& table, std::optional<std::int64_t> row) {
    for (const Fetched<Model>& f : table) {
        if (row && f.row == *row) {
            return f.model;
        }
    }
    return nullptr;
}

} // namespace

/// Maps every stored object to its row and writes each observed change to it.
class ObjectStore::Tracker {
public:
    explicit Tracker(sqlite3* database) : database_(database) {}

    /// The row of `model`, inserting it (and, through `observeRelations`, what it refers to) when new.
    template <class Model> std::int64_t rowOf(const std::shared_ptr<Model>& model) {
        if (const auto known = rows_.find(model.get()); known != rows_.end()) {
            return known->second;
        }
        constexpr bool isProject = std::is_same_v<Model, Project>;
        std::string placeholders = isProject ? "?" : "";
        model->forEachField([&](const char*, auto&) { placeholders += placeholders.empty() ? "?" : ", ?"; });
        Statement insert(database_, std::string("INSERT INTO ") + kTable<Model> + " (" +
                                        (isProject ? "id, " : "") + columnList(*model) + ") VALUES (" +
                                        placeholders + ")");
        int index = 0;
        if constexpr (isProject) {
            insert.bind(++index, model->id.toString());
        }
        model->forEachField([&](const char*, auto& field) { insert.bind(++index, field.get()); });
        insert.step();
        const std::int64_t row = sqlite3_last_insert_rowid(database_);
        adopt(model, row);
        insertRelations(*model, row);
        return row;
    }

    /// Starts saving the changes of an object that is already in its row.
    template <class Model> void adopt(const std::shared_ptr<Model>& model, std::int64_t row) {
        rows_.emplace(model.get(), row);
        adopted_.push_back(model);
        model->forEachField([&](const char* key, auto& field) {
            subscriptions_.push_back(field.subscribe([this, key, row](const auto& value) {
                guarded([&] {
                    Statement update(database_, std::string("UPDATE ") + kTable<Model> + " SET " + key +
                                                    " = ? WHERE rowid = ?");
                    update.bind(1, value);
                    update.bind(2, row);
                    update.step();
                });
            }));
        });
        observeRelations(*model, row);
    }

private:
    template <class Model> void insertRelations(Model&, std::int64_t) {}
    void insertRelations(SimulationParameters& parameters, std::int64_t row) {
        link<SimulationParameters>(row, "particleSettings", parameters.particleSettings.get());
    }
    void insertRelations(Project& project, std::int64_t row) {
        link<Project>(row, "region", project.region.get());
        link<Project>(row, "parameters", project.parameters.get());
    }

    template <class Model> void observeRelations(Model&, std::int64_t) {}
    void observeRelations(SimulationParameters& parameters, std::int64_t row) {
        observeRelation<SimulationParameters>(parameters.particleSettings, row, "particleSettings");
    }
    void observeRelations(Project& project, std::int64_t row) {
        observeRelation<Project>(project.region, row, "region");
        observeRelation<Project>(project.parameters, row, "parameters");
    }

    // A newly attached object and the reference to it are written together or not at all.
    template <class Owner, class Target>
    void observeRelation(Observable<std::shared_ptr<Target>>& relation, std::int64_t row,
                         const char* column) {
        subscriptions_.push_back(
            relation.subscribe([this, row, column](const std::shared_ptr<Target>& target) {
                guarded([&] {
                    Transaction transaction(database_);
                    link<Owner>(row, column, target);
                    transaction.commit();
                });
            }));
    }

    template <class Owner, class Target>
    void link(std::int64_t row, const char* column, const std::shared_ptr<Target>& target) {
        if (!target) {
            return write<Owner>(row, column, std::nullopt);
        }
        write<Owner>(row, column, rowOf(target));
    }

    template <class Owner>
    void write(std::int64_t row, const char* column, std::optional<std::int64_t> target) {
        Statement update(database_,
                         std::string("UPDATE ") + kTable<Owner> + " SET " + column + " = ? WHERE rowid = ?");
        update.bind(1, target);
        update.bind(2, row);
        update.step();
    }

    // An observer cannot throw into the screen that assigned the field; the change stays in memory and the
    // project file still has its own save.
    template <class Work> void guarded(Work&& work) {
        try {
            work();
        } catch (const ObjectStoreError& error) {
            std::cerr << error.what() << '\n';
        }
    }

    sqlite3* database_;
    std::unordered_map<const void*, std::int64_t> rows_;
    /// Every object that has a row stays alive as long as the store: a region or parameters object replaced
    /// and dropped by its project would otherwise leave its subscriptions pointing at freed memory, and a new
    /// object made at its address would take its row.
    std::vector<std::shared_ptr<const void>> adopted_;
    std::vector<Subscription> subscriptions_;
};

ObjectStore& ObjectStore::shared() {
    static ObjectStore instance = [] {
        std::filesystem::create_directories(userDataFolder());
        return ObjectStore(userDataFolder() / "Pelagrin.sqlite");
    }();
    return instance;
}

ObjectStore::ObjectStore(const std::filesystem::path& path) {
    if (sqlite3_open_v2(path.c_str(), &database_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const std::string message = database_ ? sqlite3_errmsg(database_) : "out of memory";
        sqlite3_close(database_);
        throw ObjectStoreError("object store: cannot open " + path.string() + ": " + message);
    }
    try {
        // Write-ahead logging makes each small autosave transaction cheap; NORMAL sync stays crash-safe in
        // WAL.
        execute(database_, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
        migrate();
        tracker_ = std::make_unique<Tracker>(database_);
        fetchAll();
    } catch (...) {
        tracker_.reset();
        sqlite3_close(database_);
        throw;
    }
}

ObjectStore::~ObjectStore() {
    tracker_.reset();
    sqlite3_close(database_);
}

void ObjectStore::migrate() {
    Statement query(database_, "PRAGMA user_version");
    query.step();
    std::int64_t version = 0;
    query.read(0, version);
    if (version > kSchemaVersion) {
        throw ObjectStoreError("object store: the database has schema " + std::to_string(version) +
                               ", newer than this version of Pelagrin understands (" +
                               std::to_string(kSchemaVersion) + ")");
    }
    for (; version < kSchemaVersion; ++version) {
        Transaction transaction(database_);
        execute(database_, kMigrations[version]);
        execute(database_, ("PRAGMA user_version = " + std::to_string(version + 1)).c_str());
        transaction.commit();
    }
}

void ObjectStore::fetchAll() {
    const auto settings = fetchTable<ParticleSettings>(database_, {});
    const auto parameters = fetchTable<SimulationParameters>(database_, {"particleSettings"});
    const auto regions = fetchTable<Region>(database_, {});
    const auto projects = fetchTable<Project>(database_, {"region", "parameters"});
    for (const auto& p : parameters) {
        p.model->particleSettings = modelAt(settings, p.links[0]);
    }
    for (const auto& p : projects) {
        p.model->region = modelAt(regions, p.links[0]);
        p.model->parameters = modelAt(parameters, p.links[1]);
    }
    // Observed only now, when every object is complete: filling them in is not a change to save.
    const auto adoptAll = [this](const auto& table) {
        for (const auto& f : table) {
            tracker_->adopt(f.model, f.row);
        }
    };
    adoptAll(settings);
    adoptAll(parameters);
    adoptAll(regions);
    adoptAll(projects);
    for (const auto& p : projects) {
        projects_.push_back(p.model);
    }
}

void ObjectStore::insert(const std::shared_ptr<Project>& project) {
    for (const auto& stored : projects_) {
        if (stored->id == project->id) {
            throw ObjectStoreError("object store: a project with id " + project->id.toString() +
                                   " is already stored");
        }
    }
    Transaction transaction(database_);
    tracker_->rowOf(project);
    transaction.commit();
    projects_.push_back(project);
}

} // namespace pelagrin
