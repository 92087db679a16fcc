// ProjectPersistence: the records' JSON form, their mapping onto the model, and the file itself.
#include "projects/ProjectPersistence.hpp"

#include "projects/PhysicalParameterField.hpp"
#include "simulation/RandomSource.hpp"
#include "support/AtomicWrite.hpp"
#include "support/ByteSize.hpp"
#include "support/FileRead.hpp"
#include "support/JsonObjectReader.hpp"

#include <cmath>
#include <iostream>
#include <nlohmann/json.hpp>

namespace pelagrin::ProjectPersistence {
namespace {

// A project holds one outline of some thousand vertices and its parameters, a few megabytes at most; the
// bound leaves ample room for the most detailed shore and stops a device or an endless file before it fills
// memory.
constexpr std::size_t maxProjectFileBytes = 256 * mebibyte;

using nlohmann::json;

// JSON has no NaN or infinity (the library would write null): such a model cannot be saved faithfully.
void requireFinite(const json& value) {
    if (value.is_number_float() && !std::isfinite(value.get<double>())) {
        throw std::domain_error("a value is not a finite number");
    }
    if (value.is_structured()) {
        for (const json& member : value) {
            requireFinite(member);
        }
    }
}

json toJson(const CoordinateDTO& c) {
    return {{"latitude", c.latitude}, {"longitude", c.longitude}};
}

json toJson(const RegionDTO& r) {
    json object = {{"name", r.name},
                   {"latitude", r.latitude},
                   {"longitude", r.longitude},
                   {"flowDirection", r.flowDirection},
                   {"emissionRadius", r.emissionRadius}};
    if (r.waterVertices) {
        json vertices = json::array();
        for (const CoordinateDTO& c : *r.waterVertices) {
            vertices.push_back(toJson(c));
        }
        object["waterVertices"] = std::move(vertices);
    }
    if (r.emissionPoint) {
        object["emissionPoint"] = toJson(*r.emissionPoint);
    }
    return object;
}

json toJson(const SimulationParametersDTO& p) {
    json object = {{"flowSpeed", p.flowSpeed},         {"turbulence", p.turbulence},
                   {"viscosity", p.viscosity},         {"gravityScale", p.gravityScale},
                   {"flowDirection", p.flowDirection}, {"simulationDuration", p.simulationDuration},
                   {"waterDepth", p.waterDepth},       {"windSpeed", p.windSpeed},
                   {"windDirection", p.windDirection}};
    if (p.particles) {
        object["particles"] = {
            {"radius", p.particles->radius},
            {"density", p.particles->density},
            {"count", p.particles->count},
            {"colorMode", p.particles->colorMode},
            {"shape", std::string(particleShapeKeys.at(static_cast<std::size_t>(p.particles->shape)))}};
    }
    if (p.seed) {
        object["seed"] = *p.seed;
    }
    object["transportModel"] = std::string(keyOf(p.transportModel));
    for (const PhysicalParameterField& field : physicalParameterFields) {
        object[std::string(field.key)] = p.physical.*field.member;
    }
    return object;
}

CoordinateDTO coordinateFrom(const JsonObjectReader& object) {
    return {object.number("latitude"), object.number("longitude")};
}

RegionDTO regionFrom(const JsonObjectReader& object) {
    const RegionDTO defaults;
    RegionDTO region{.name = object.string("name"),
                     .latitude = object.number("latitude"),
                     .longitude = object.number("longitude"),
                     .flowDirection = object.number("flowDirection"),
                     .waterVertices = std::nullopt,
                     .emissionPoint = std::nullopt,
                     .emissionRadius =
                         object.optionalNumber("emissionRadius").value_or(defaults.emissionRadius)};
    std::vector<CoordinateDTO> vertices;
    if (object.forEachObject("waterVertices", [&](const JsonObjectReader& vertex) {
            vertices.push_back(coordinateFrom(vertex));
        })) {
        region.waterVertices = std::move(vertices);
    }
    if (const auto point = object.optionalObject("emissionPoint")) {
        region.emissionPoint = coordinateFrom(*point);
    }
    return region;
}

SimulationParametersDTO parametersFrom(const JsonObjectReader& object) {
    const SimulationParametersDTO defaults;
    const auto optional = [&](const char* key, double fallback) {
        return object.optionalNumber(key).value_or(fallback);
    };
    SimulationParametersDTO parameters{.flowSpeed = object.number("flowSpeed"),
                                       .turbulence = object.number("turbulence"),
                                       .viscosity = object.number("viscosity"),
                                       .gravityScale = object.number("gravityScale"),
                                       .flowDirection = optional("flowDirection", defaults.flowDirection),
                                       .simulationDuration =
                                           optional("simulationDuration", defaults.simulationDuration),
                                       .waterDepth = optional("waterDepth", defaults.waterDepth),
                                       .windSpeed = optional("windSpeed", defaults.windSpeed),
                                       .windDirection = optional("windDirection", defaults.windDirection),
                                       .particles = std::nullopt,
                                       .seed = std::nullopt,
                                       .transportModel = TransportModel::original,
                                       .physical = {}};
    if (const auto particles = object.optionalObject("particles")) {
        const std::size_t shape = particles->optionalChoice("shape", particleShapeKeys).value_or(0);
        parameters.particles = ParticleSettingsDTO{
            particles->number("radius"), particles->number("density"), particles->wholeNumber("count"),
            particles->wholeNumber("colorMode"), static_cast<ParticleShape>(shape)};
    }
    if (object.optionalNumber("seed")) {
        parameters.seed = static_cast<std::uint64_t>(
            object.wholeNumberWithin("seed", 0, static_cast<std::int64_t>(RandomSource::maxSeed)));
    }
    parameters.transportModel =
        static_cast<TransportModel>(object.optionalChoice("transportModel", transportModelKeys).value_or(0));
    for (const PhysicalParameterField& field : physicalParameterFields) {
        const std::string key(field.key);
        if (object.optionalNumber(key.c_str())) {
            parameters.physical.*field.member = object.numberWithin(key.c_str(), field.low, field.high);
        }
    }
    return parameters;
}

} // namespace

std::string encode(const ProjectFile& file) {
    json object = {{"name", file.name}, {"created", file.created}};
    if (file.region) {
        object["region"] = toJson(*file.region);
    }
    if (file.parameters) {
        object["parameters"] = toJson(*file.parameters);
    }
    requireFinite(object);
    return object.dump(2) + "\n";
}

ProjectFile decode(std::string_view text) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::exception& error) {
        // Syntax errors, and numbers beyond the 64-bit range, which the library reports separately.
        throw LoadError(std::string("not a project file (invalid JSON): ") + error.what());
    }
    try {
        const JsonObjectReader root(document, "");
        ProjectFile file{root.string("name"), root.number("created"), std::nullopt, std::nullopt};
        if (const auto region = root.optionalObject("region")) {
            file.region = regionFrom(*region);
        }
        if (const auto parameters = root.optionalObject("parameters")) {
            file.parameters = parametersFrom(*parameters);
        }
        return file;
    } catch (const JsonDecodeError& error) {
        throw LoadError(error.what());
    }
}

ProjectFile makeFile(const Project& project) {
    ProjectFile file{project.name, project.createdAt->secondsSince2001, std::nullopt, std::nullopt};
    if (const std::shared_ptr<Region>& region = project.region) {
        std::vector<CoordinateDTO> vertices;
        for (const GeoCoordinate& c : region->waterVertices()) {
            vertices.push_back({c.latitude, c.longitude});
        }
        file.region = RegionDTO{.name = region->name,
                                .latitude = region->latitude,
                                .longitude = region->longitude,
                                .flowDirection = region->flowDirection,
                                .waterVertices = std::move(vertices),
                                .emissionPoint = CoordinateDTO{region->emissionLat, region->emissionLon},
                                .emissionRadius = region->emissionRadius};
    }
    if (const std::shared_ptr<SimulationParameters>& parameters = project.parameters) {
        std::optional<ParticleSettingsDTO> particles;
        if (const std::shared_ptr<ParticleSettings>& settings = parameters->particleSettings) {
            particles = ParticleSettingsDTO{settings->radius, settings->density, settings->count,
                                            settings->colorMode, settings->shape};
        }
        file.parameters = SimulationParametersDTO{.flowSpeed = parameters->flowSpeed,
                                                  .turbulence = parameters->turbulence,
                                                  .viscosity = parameters->viscosity,
                                                  .gravityScale = parameters->gravityScale,
                                                  .flowDirection = parameters->flowDirection,
                                                  .simulationDuration = parameters->simulationDuration,
                                                  .waterDepth = parameters->waterDepth,
                                                  .windSpeed = parameters->windSpeed,
                                                  .windDirection = parameters->windDirection,
                                                  .particles = particles,
                                                  .seed = parameters->seed,
                                                  .transportModel = parameters->transportModel,
                                                  .physical = parameters->physical};
    }
    return file;
}

std::shared_ptr<Project> makeProject(const ProjectFile& file, const std::filesystem::path& path) {
    auto project = std::make_shared<Project>(file.name, Timestamp{file.created});
    project->directoryURL = path.string();
    if (file.region) {
        const RegionDTO& r = *file.region;
        auto region = std::make_shared<Region>(r.name, r.latitude, r.longitude, r.flowDirection);
        if (r.waterVertices) {
            std::vector<GeoCoordinate> vertices;
            for (const CoordinateDTO& c : *r.waterVertices) {
                vertices.push_back({c.latitude, c.longitude});
            }
            region->setWaterVertices(vertices);
        }
        if (r.emissionPoint) {
            region->emissionLat = r.emissionPoint->latitude;
            region->emissionLon = r.emissionPoint->longitude;
        }
        region->emissionRadius = r.emissionRadius;
        region->updateSimulationCoordinates(kCanvasWidth, kCanvasHeight);
        project->region = std::move(region);
    }
    if (file.parameters) {
        const SimulationParametersDTO& p = *file.parameters;
        SimulationParameters::Values values;
        values.flowSpeed = p.flowSpeed;
        values.turbulence = p.turbulence;
        values.viscosity = p.viscosity;
        values.gravityScale = p.gravityScale;
        values.flowDirection = p.flowDirection;
        values.simulationDuration = p.simulationDuration;
        values.waterDepth = p.waterDepth;
        values.windSpeed = p.windSpeed;
        values.windDirection = p.windDirection;
        values.seed = p.seed;
        auto parameters = std::make_shared<SimulationParameters>(values);
        parameters->transportModel = p.transportModel;
        parameters->physical = p.physical;
        if (p.particles) {
            auto settings = std::make_shared<ParticleSettings>(p.particles->radius, p.particles->density,
                                                               p.particles->count, p.particles->colorMode);
            settings->shape = p.particles->shape;
            parameters->particleSettings = std::move(settings);
        }
        project->parameters = std::move(parameters);
    }
    return project;
}

void save(const Project& project, const std::filesystem::path& path) {
    std::string text;
    try {
        text = encode(makeFile(project));
    } catch (const std::domain_error& error) {
        throw FileWriteError("cannot write " + path.string() + ": " + error.what());
    }
    writeFileAtomically(path, text);
    std::cout << "💾 Saved project to: " << path.string() << std::endl;
}

std::shared_ptr<Project> load(const std::filesystem::path& path) {
    std::string text;
    try {
        text = readWholeFile(path, maxProjectFileBytes);
    } catch (const FileReadError& error) {
        throw LoadError(error.what());
    }
    try {
        return makeProject(decode(text), path);
    } catch (const LoadError& error) {
        throw LoadError(path.string() + ": " + error.what());
    }
}

} // namespace pelagrin::ProjectPersistence
