#pragma once

#include "cluster/specimen_record.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

// Clusters of valve-like cluster approximations and a principal component analysis worked out
// the plain way, as a second opinion: the covariance matrix of the shape coordinates and its
// eigen-decomposition by cyclic Jacobi rotations, all in double precision.
namespace morphospace_test {

// Control points of a valve about 2000 units long in normal position, with its own bulges and
// per-point noise; m1 and m2 on the x axis (at +-1000 exactly when `outerFixed`), stored in
// both curves.
inline CApproxSpecimen RandomValve(std::mt19937& rng, int n, bool outerFixed, double noise = 8.0) {
    std::normal_distribution<double> shape(0.0, 0.06);
    std::normal_distribution<double> jitter(0.0, noise);
    const double a = shape(rng), b = shape(rng), c = shape(rng), d = shape(rng);
    const FPoint m1(outerFixed ? 1000.0f : static_cast<float>(1000.0 * (1.0 + shape(rng))), 0.0f);
    const FPoint m2(outerFixed ? -1000.0f : static_cast<float>(-1000.0 * (1.0 + shape(rng))), 0.0f);
    CApproxSpecimen approx;
    approx.ControlPointsCnt = n;
    auto& dorsal = approx.ApproxUpper.ControlPoints;
    auto& ventral = approx.ApproxLower.ControlPoints;
    dorsal.assign(static_cast<std::size_t>(n) + 1, FPoint());
    ventral.assign(static_cast<std::size_t>(n) + 1, FPoint());
    for (int i = 1; i < n; ++i) {
        const double phi = std::numbers::pi * i / n;
        dorsal[i] = FPoint(
            static_cast<float>(1000.0 * std::cos(phi) * (1.0 + a * std::sin(phi)) + jitter(rng)),
            static_cast<float>(430.0 * std::sin(phi) * (1.0 + b * std::cos(phi)) + jitter(rng)));
        ventral[i] = FPoint(
            static_cast<float>(-1000.0 * std::cos(phi) * (1.0 + c) + jitter(rng)),
            static_cast<float>(-380.0 * std::sin(phi) * (1.0 + d * std::sin(phi)) + jitter(rng)));
    }
    dorsal[0] = ventral[n] = m1;
    dorsal[n] = ventral[0] = m2;
    return approx;
}

// Records owning their specimens and cluster approximations, and the cluster list over them.
struct CTestCluster {
    std::vector<std::unique_ptr<CSpecimenRecord>> owned;
    std::vector<CSpecimenRecord*> list;

    CSpecimenRecord* Add(CApproxSpecimen approx, const std::string& name = "") {
        auto specimen = std::make_unique<CSpecimen>();
        specimen->ShortPathName = name.empty() ? "valve" + std::to_string(owned.size()) : name;
        owned.push_back(std::make_unique<CSpecimenRecord>(std::move(specimen)));
        owned.back()->SetClusterApproximation(std::make_unique<CApproxSpecimen>(std::move(approx)));
        owned.back()->SetClusterData(std::make_unique<CClusterData>());
        list.push_back(owned.back().get());
        return list.back();
    }
};

inline CTestCluster RandomCluster(int members, int n, bool outerFixed, std::uint32_t seed) {
    std::mt19937 rng(seed);
    CTestCluster cluster;
    for (int i = 0; i < members; ++i)
        cluster.Add(RandomValve(rng, n, outerFixed));
    return cluster;
}

// The shape coordinates in this test's own order: the inner points dorsal and ventral side by
// side, then the x of m1 and m2 unless they are fixed.
inline std::vector<double> Coordinates(const CApproxSpecimen& a, bool outerFixed) {
    const int n = a.ControlPointsCnt;
    std::vector<double> v;
    for (int i = 1; i < n; ++i)
        for (const FPoint& p : {a.ApproxUpper.ControlPoints[i], a.ApproxLower.ControlPoints[i]}) {
            v.push_back(p.x);
            v.push_back(p.y);
        }
    if (!outerFixed) {
        v.push_back(a.ApproxUpper.ControlPoints[0].x);
        v.push_back(a.ApproxLower.ControlPoints[0].x);
    }
    return v;
}

// Eigenvalues (descending) and unit eigenvectors of a symmetric p x p matrix (row-major) by
// cyclic Jacobi rotations.
struct CEigen {
    std::vector<double> values;
    std::vector<std::vector<double>> vectors;
};

inline CEigen JacobiEigen(std::vector<double> a, int p) {
    std::vector<double> v(static_cast<std::size_t>(p * p), 0.0);
    for (int i = 0; i < p; ++i)
        v[i * p + i] = 1.0;
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0.0, diagonal = 0.0;
        for (int i = 0; i < p; ++i) {
            diagonal += a[i * p + i] * a[i * p + i];
            for (int j = i + 1; j < p; ++j)
                off += a[i * p + j] * a[i * p + j];
        }
        if (off <= 1e-30 * diagonal)
            break;
        for (int i = 0; i < p; ++i)
            for (int j = i + 1; j < p; ++j) {
                if (a[i * p + j] == 0.0)
                    continue;
                const double theta = (a[j * p + j] - a[i * p + i]) / (2.0 * a[i * p + j]);
                const double t =
                    (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (int k = 0; k < p; ++k) { // columns i and j
                    const double aki = a[k * p + i], akj = a[k * p + j];
                    a[k * p + i] = c * aki - s * akj;
                    a[k * p + j] = s * aki + c * akj;
                }
                for (int k = 0; k < p; ++k) { // rows i and j
                    const double aik = a[i * p + k], ajk = a[j * p + k];
                    a[i * p + k] = c * aik - s * ajk;
                    a[j * p + k] = s * aik + c * ajk;
                }
                for (int k = 0; k < p; ++k) {
                    const double vki = v[k * p + i], vkj = v[k * p + j];
                    v[k * p + i] = c * vki - s * vkj;
                    v[k * p + j] = s * vki + c * vkj;
                }
            }
    }
    std::vector<int> order(static_cast<std::size_t>(p));
    for (int i = 0; i < p; ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](int x, int y) { return a[x * p + x] > a[y * p + y]; });
    CEigen result;
    for (int k : order) {
        result.values.push_back(a[k * p + k]);
        std::vector<double> column(static_cast<std::size_t>(p));
        for (int i = 0; i < p; ++i)
            column[i] = v[i * p + k];
        result.vectors.push_back(column);
    }
    return result;
}

// The plain analysis: mean, covariance (denominator n - 1), its eigen-decomposition with the
// largest loading of each vector made positive, and every row's scores.
struct CReferencePca {
    std::vector<double> mean;
    CEigen eigen;
    std::vector<std::vector<double>> scores; // per row, per component
    double total = 0.0;                      // trace of the covariance
};

inline CReferencePca ReferencePca(const std::vector<std::vector<double>>& rows) {
    const std::size_t n = rows.size(), p = rows.front().size();
    CReferencePca r;
    r.mean.assign(p, 0.0);
    for (const auto& row : rows)
        for (std::size_t j = 0; j < p; ++j)
            r.mean[j] += row[j] / static_cast<double>(n);
    std::vector<double> cov(p * p, 0.0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < p; ++i)
            for (std::size_t j = 0; j < p; ++j)
                cov[i * p + j] +=
                    (row[i] - r.mean[i]) * (row[j] - r.mean[j]) / static_cast<double>(n - 1);
    for (std::size_t i = 0; i < p; ++i)
        r.total += cov[i * p + i];
    r.eigen = JacobiEigen(cov, static_cast<int>(p));
    for (auto& vector : r.eigen.vectors) {
        const auto largest = std::max_element(vector.begin(), vector.end(), [](double x, double y) {
            return std::fabs(x) < std::fabs(y);
        });
        if (*largest < 0.0)
            for (double& x : vector)
                x = -x;
    }
    for (const auto& row : rows) {
        std::vector<double> s;
        for (const auto& vector : r.eigen.vectors) {
            double dot = 0.0;
            for (std::size_t j = 0; j < p; ++j)
                dot += (row[j] - r.mean[j]) * vector[j];
            s.push_back(dot);
        }
        r.scores.push_back(s);
    }
    return r;
}

inline CReferencePca ReferencePca(const std::vector<CSpecimenRecord*>& members, bool outerFixed) {
    std::vector<std::vector<double>> rows;
    for (const CSpecimenRecord* m : members)
        rows.push_back(Coordinates(*m->GetClusterApproximation(), outerFixed));
    return ReferencePca(rows);
}

} // namespace morphospace_test
