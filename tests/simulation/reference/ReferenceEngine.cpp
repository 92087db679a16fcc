// The plain time step.
#include "tests/simulation/reference/ReferenceEngine.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace pelagrin::reference {

ReferenceEngine::ReferenceEngine(std::vector<Particle> particles_, SimulationEngineParameters params_,
                                 std::vector<Vec2> boundaryVertices_, RandomSource random)
    : particles(std::move(particles_)), params(params_), boundaryVertices(std::move(boundaryVertices_)),
      random_(std::move(random)) {
    if (!boundaryVertices.empty()) {
        Bounds box{boundaryVertices[0].x, boundaryVertices[0].x, boundaryVertices[0].y,
                   boundaryVertices[0].y};
        for (const Vec2& v : boundaryVertices) {
            box.minX = std::min(box.minX, v.x);
            box.maxX = std::max(box.maxX, v.x);
            box.minY = std::min(box.minY, v.y);
            box.maxY = std::max(box.maxY, v.y);
        }
        bounds = box;
    }
}

void ReferenceEngine::step() {
    const double dt = targetSpeed * 0.016;
    accumulatedTime += dt;
    const double t = accumulatedTime;
    const double g = params.gravityScale * 9.81;
    const double mu = params.viscosity * 0.001;
    const double ppm = std::fmax(params.pixelsPerMeter, 1e-6);
    const double drag = 6 * std::numbers::pi * mu;

    for (Particle& p : particles) {
        if (p.isStuck) {
            continue;
        }
        if (!p.isActive) {
            if (p.releaseTime > t) {
                continue;
            }
            p.isActive = true;
        }

        const double r = p.radius / 1000.0;
        const double w = r * r * g * (p.density - 1.0) * (10000.0 / 9.0) / mu;
        p.z += w * dt;

        double b = 1.0;
        if (p.z >= params.waterDepth) {
            p.z = params.waterDepth;
            p.isSedimented = true;
            b = 0.05;
        } else {
            p.isSedimented = false;
            if (p.z <= 0) {
                p.z = 0;
            }
        }
        const double f = std::fmax(1 - 0.5 * p.z / params.waterDepth, 0.2);

        Vec2 u = flowVelocity(p.position / ppm, t) * f;
        if (params.windVelocity.x != 0 || params.windVelocity.y != 0) {
            u += params.windVelocity * (std::exp(-0.5 * p.z) * 0.03);
        }
        u = u * b;

        const double m = 1000.0 * p.density * (4.0 / 3.0) * std::numbers::pi * r * r * r;
        const double tau = m / std::fmax(drag * r, 1e-9);
        const double a = std::exp(-timeStep / tau);
        const Vec2 v = p.velocity / ppm;
        p.velocity = (u + (v - u) * a) * ppm;

        const Vec2 c = p.position + p.velocity * dt;
        const bool inside = bounds && bounds->minX < c.x && c.x < bounds->maxX && bounds->minY < c.y &&
                            c.y < bounds->maxY && isInsideBoundary(c);
        if (inside) {
            p.position = c;
        } else if (const auto contact = closestBoundaryPoint(c); !contact) {
            p.velocity = {};
        } else {
            const double s = p.velocity.length();
            if (s < 15 || random_.uniformRandom(0, 1) < 0.2) {
                p.position = contact->point;
                p.velocity = {};
                p.isStuck = true;
            } else {
                p.position = contact->point + contact->normal * 1.5;
                const Vec2 normalPart = contact->normal * p.velocity.dot(contact->normal);
                p.velocity = (p.velocity - normalPart) * 0.1 + normalPart * -0.05;
            }
        }
        p.speed = p.velocity.length();
    }
}

Vec2 ReferenceEngine::flowVelocity(Vec2 point, double time) const {
    const Vec2 base = params.baseFlowVelocity / std::fmax(params.pixelsPerMeter, 1e-6);
    if (params.turbulence < 0.01) {
        return base;
    }
    const double s = params.turbulence * time;
    auto N = [&](double x, double y) {
        return 60 * noiseGen.noise(x / 300, y / 300, s * 0.1) +
               20 * noiseGen.noise(x / 100, y / 100, s * 0.3) + 5 * noiseGen.noise(x / 25, y / 25, s * 0.8);
    };
    const double dNdy = (N(point.x, point.y + 1) - N(point.x, point.y - 1)) * 0.5;
    const double dNdx = (N(point.x + 1, point.y) - N(point.x - 1, point.y)) * 0.5;
    return {base.x + params.turbulence * dNdy, base.y - params.turbulence * dNdx};
}

bool ReferenceEngine::isInsideBoundary(Vec2 point) const {
    const std::size_t n = boundaryVertices.size();
    if (n < 3) {
        return true;
    }
    bool inside = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Vec2 a = boundaryVertices[i];
        const Vec2 b = boundaryVertices[j];
        if ((a.y > point.y) != (b.y > point.y)) {
            const double xc = a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (point.x < xc) {
                inside = !inside;
            }
        }
    }
    return inside;
}

std::optional<BoundaryContact> ReferenceEngine::closestBoundaryPoint(Vec2 point) const {
    const std::size_t count = boundaryVertices.size();
    if (count < 2) {
        return std::nullopt;
    }
    double best = std::numeric_limits<double>::max();
    BoundaryContact contact{point, {0, 1}};
    for (std::size_t i = 0; i < count; ++i) {
        const Vec2 a = boundaryVertices[i];
        const Vec2 e = boundaryVertices[(i + 1) % count] - a;
        const double l2 = e.dot(e);
        if (l2 <= 0.0001) {
            continue;
        }
        const double k = std::clamp((point - a).dot(e) / l2, 0.0, 1.0);
        const Vec2 f = a + e * k;
        const double d2 = (point - f).dot(point - f);
        if (d2 < best) {
            best = d2;
            contact.point = f;
            const double l = std::sqrt(l2);
            contact.normal = l > 0 ? Vec2{-e.y, e.x} / l : Vec2{};
        }
    }
    return contact;
}

} // namespace pelagrin::reference
