// Project: one simulation study, owning its region and its physics.
#pragma once

#include "projects/Region.hpp"
#include "projects/SimulationParameters.hpp"
#include "projects/Timestamp.hpp"
#include "simulation/Observable.hpp"
#include "simulation/Uuid.hpp"

#include <memory>
#include <optional>
#include <string>

namespace pelagrin {

/// Everything the user defines for one study. A project starts with neither region nor parameters; the
/// screens make them on first use. Shared ownership: the store, the windows and a running controller may all
/// hold the same project.
class Project {
public:
    explicit Project(std::string projectName, Timestamp created = Timestamp::now(),
                     Uuid identity = Uuid::random())
        : id(identity), name(std::move(projectName)), createdAt(created) {}

    const Uuid id; ///< identity, unique in the object store; never reassigned
    Observable<std::string> name;
    Observable<Timestamp> createdAt;
    /// Absolute path of the project file itself (not of a folder); absent until the project is saved.
    Observable<std::optional<std::string>> directoryURL;
    Observable<std::shared_ptr<Region>> region;
    Observable<std::shared_ptr<SimulationParameters>> parameters;

    /// Calls `visit(key, field)` for every stored field but the identity and the relationships, in order.
    template <class Visitor> void forEachField(Visitor&& visit) {
        visit("name", name);
        visit("createdAt", createdAt);
        visit("directoryURL", directoryURL);
    }
};

} // namespace pelagrin
