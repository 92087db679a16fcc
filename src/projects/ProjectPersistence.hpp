// ProjectPersistence: the ".pelagrinproj" file, written from and read into the project model.
#pragma once

#include "projects/Project.hpp"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelagrin::ProjectPersistence {

/// A file that cannot be read or decoded. The message names the file and, for a decoding problem, the key
/// path and what is wrong with it, such as `"parameters.particles.count": expected a whole number, got 2.5`.
class LoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The file's records. Optional members are left out on writing when absent and may be missing on reading.
struct CoordinateDTO {
    double latitude = 0.0;  ///< degrees
    double longitude = 0.0; ///< degrees
};

struct RegionDTO {
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;
    double flowDirection = 0.0;
    std::optional<std::vector<CoordinateDTO>> waterVertices; ///< always written, maybe empty
    std::optional<CoordinateDTO> emissionPoint;              ///< always written, (0, 0) when unset
    double emissionRadius = 10.0;                            ///< m; 10 when missing from a file
};

struct ParticleSettingsDTO {
    double radius = 0.0;
    double density = 0.0;
    std::int64_t count = 0;
    std::int64_t colorMode = 0;
    ParticleShape shape = ParticleShape::sphere; ///< a sphere when missing from a file
};

struct SimulationParametersDTO {
    double flowSpeed = 0.0;
    double turbulence = 0.0;
    double viscosity = 0.0;
    double gravityScale = 0.0;
    double flowDirection = 0.0;          ///< 0 when missing from a file
    double simulationDuration = 43200.0; ///< 43200 when missing from a file
    double waterDepth = 10.0;            ///< m; 10 when missing from a file
    double windSpeed = 0.0;              ///< m/s; 0 when missing from a file
    double windDirection = 0.0;          ///< degrees; 0 when missing from a file
    std::optional<ParticleSettingsDTO> particles;
    std::optional<std::uint64_t> seed; ///< written only when set, so older readers never meet it
    TransportModel transportModel = TransportModel::original; ///< the original when missing from a file
    /// Each number its default when missing from a file; `shape` unused (see `ParticleSettingsDTO`).
    PhysicalParameters physical;
};

struct ProjectFile {
    std::string name;
    double created = 0.0; ///< seconds since 2001-01-01 00:00:00 UTC, fractional
    std::optional<RegionDTO> region;
    std::optional<SimulationParametersDTO> parameters;
};

/// The file's records as indented JSON text, and back. `decode` is strict about what it needs (a missing
/// required key, a wrong JSON type, a fractional whole number all throw `LoadError`) and ignores unknown
/// keys; `encode` throws `std::domain_error` for a number that is not finite.
std::string encode(const ProjectFile& file);
ProjectFile decode(std::string_view text);

/// The records for a project, and a fresh project (new id, `directoryURL` = `path`) from records.
ProjectFile makeFile(const Project& project);
std::shared_ptr<Project> makeProject(const ProjectFile& file, const std::filesystem::path& path);

/// Writes `project` to `path` atomically, replacing any file there, then prints "💾 Saved project to: " and
/// the path. Throws `FileWriteError`; the previous file survives a failure.
void save(const Project& project, const std::filesystem::path& path);

/// Reads the file at `path` into a new project that is not yet in the object store. Values are taken as
/// they stand, without range checks, except the seed and the physical model's keys, which a file older than
/// them never holds. Throws `LoadError`; no model object is made then.
std::shared_ptr<Project> load(const std::filesystem::path& path);

} // namespace pelagrin::ProjectPersistence
