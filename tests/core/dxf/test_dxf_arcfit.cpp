#include "DxfArcFit.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

using namespace quirindo;

namespace {

bool SameBits(TDxfPoint p, TDxfPoint q) {
    return std::bit_cast<std::uint64_t>(p.X) == std::bit_cast<std::uint64_t>(q.X) &&
           std::bit_cast<std::uint64_t>(p.Y) == std::bit_cast<std::uint64_t>(q.Y);
}

struct TTriple {
    TDxfPoint A, M, E;
};

// Pieces as curves produce them, and the awkward ones: equal ends, ends a
// hair apart far from the origin, middles beyond the last candidate, huge and
// tiny magnitudes, exact ties between two candidates.
std::vector<TTriple> Inputs() {
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> coord(-50, 400);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::vector<TTriple> in;
    for (int i = 0; i < 20000; ++i) {
        const TDxfPoint a{coord(rng), coord(rng)};
        const double len = std::pow(10.0, 3 * unit(rng) - 1); // 1e-4 .. 1e2 mm
        const double dir = std::numbers::pi * unit(rng);
        const TDxfPoint e{a.X + len * std::cos(dir), a.Y + len * std::sin(dir)};
        // The middle beside the chord's middle: mostly within the candidates'
        // reach, sometimes far beyond, sometimes exactly on the chord.
        const double off = (i % 7 == 0) ? 5 * unit(rng) : (i % 11 == 0 ? 0.0 : unit(rng));
        const double along = 0.2 * unit(rng);
        const double hx = (e.X - a.X) / 2, hy = (e.Y - a.Y) / 2;
        const TDxfPoint m{a.X + hx + off * hy + along * hx, a.Y + hy - off * hx + along * hy};
        in.push_back({a, m, e});
    }
    for (double scale : {1e-300, 1e-150, 1e-100, 1e-12, 1.0, 1e6, 1e12, 1e15, 1e150, 1e300}) {
        for (int i = 0; i < 200; ++i) {
            const TDxfPoint a{scale * unit(rng), scale * unit(rng)};
            const TDxfPoint e{a.X + scale * 1e-9 * unit(rng), a.Y + scale * 1e-9 * unit(rng)};
            const TDxfPoint m{(a.X + e.X) / 2 + scale * 1e-10 * unit(rng), (a.Y + e.Y) / 2};
            in.push_back({a, m, e});
            in.push_back({a, m, a}); // equal ends
            in.push_back({a, {a.X + scale * unit(rng), a.Y}, {a.X, a.Y + scale * unit(rng)}});
        }
    }
    // Far from the origin with ends a few units in the last place apart.
    for (int i = 0; i < 200; ++i) {
        const TDxfPoint a{3000 + unit(rng), 3000 + unit(rng)};
        const TDxfPoint e{std::nextafter(a.X, 1e9), std::nextafter(std::nextafter(a.Y, 0.0), 0.0)};
        in.push_back({a, {a.X + 1e-13 * unit(rng), a.Y + 1e-13 * unit(rng)}, e});
    }
    // The middle exactly half way between two candidates, everywhere along
    // the bisector: candidate n is (0, -n/1000), the middle (0, -(n + 0.5)/1000).
    for (int n = -1000; n <= 999; ++n)
        in.push_back({{-1, 0}, {0, -(n / 1000.0 + 0.5 / 1000.0)}, {1, 0}});
    return in;
}

TEST(DxfArcFit, FastSearchPicksTheScansPointBitForBit) {
    std::size_t differing = 0;
    for (const TTriple& t : Inputs()) {
        const TDxfPoint scan = BisectorPointByScan(t.A, t.M, t.E);
        const TDxfPoint fast = BisectorPoint(t.A, t.M, t.E);
        if (!SameBits(scan, fast) && ++differing <= 5) {
            ADD_FAILURE() << "A=(" << t.A.X << ", " << t.A.Y << ") M=(" << t.M.X << ", " << t.M.Y
                          << ") E=(" << t.E.X << ", " << t.E.Y << "): scan (" << scan.X << ", "
                          << scan.Y << ") fast (" << fast.X << ", " << fast.Y << ")";
        }
    }
    EXPECT_EQ(differing, 0u);
}

TEST(DxfArcFit, ScanKeepsFirstOfEquallyNearAndStaysOnTheBisector) {
    // Candidates 1 and 0 are exactly as near to the middle; 1 comes first.
    const TDxfPoint tie = BisectorPointByScan({-1, 0}, {0, -0.0005}, {1, 0});
    EXPECT_EQ(tie.X, 0);
    EXPECT_EQ(tie.Y, -0.001);
    EXPECT_TRUE(SameBits(BisectorPoint({-1, 0}, {0, -0.0005}, {1, 0}), tie));

    // Nearest candidate to a middle right on the circle through the ends.
    const TDxfPoint c = BisectorPoint({0, 0}, {5, -5 * 0.4142}, {10, 0});
    EXPECT_NEAR(c.X, 5, 1e-12);
    EXPECT_NEAR(c.Y, -5 * 0.414, 1e-12);

    // Beyond the reach of the candidates the last one is taken.
    const TDxfPoint far = BisectorPoint({0, 0}, {5, 80}, {10, 0});
    EXPECT_NEAR(far.X, 5, 1e-12);
    EXPECT_NEAR(far.Y, 5 * 0.999, 1e-12);
}

TEST(DxfArcFit, BulgeMatchesGeometry) {
    // A quarter circle counter-clockwise and back.
    const double s = std::sqrt(0.5);
    const auto ccw = ArcBulgeThrough({1, 0}, {s, s}, {0, 1});
    ASSERT_TRUE(ccw.has_value());
    EXPECT_NEAR(*ccw, std::tan(std::numbers::pi / 8), 1e-12);
    const auto cw = ArcBulgeThrough({0, 1}, {s, s}, {1, 0});
    ASSERT_TRUE(cw.has_value());
    EXPECT_NEAR(*cw, -std::tan(std::numbers::pi / 8), 1e-12);

    // Collinear points, coincident points: no arc.
    EXPECT_FALSE(ArcBulgeThrough({0, 0}, {1, 1}, {2, 2}).has_value());
    EXPECT_FALSE(ArcBulgeThrough({3, 4}, {3, 4}, {3, 4}).has_value());
    EXPECT_FALSE(ArcBulgeThrough({0, 0}, {1, 1e-9}, {2, 0}).has_value());

    // For a point at n/1000 of the half chord beside the chord's middle the
    // sagitta is that fraction of the half chord, which is the bulge; the
    // point to the right of A->E (seen with y up) makes it counter-clockwise.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> coord(-100, 400);
    std::uniform_int_distribution<int> pick(-999, 999);
    for (int i = 0; i < 5000; ++i) {
        const TDxfPoint a{coord(rng), coord(rng)};
        const TDxfPoint e{coord(rng), coord(rng)};
        int n = pick(rng);
        if (n == 0) n = 1;
        const double hx = (e.X - a.X) / 2, hy = (e.Y - a.Y) / 2;
        const double f = n / 1000.0;
        const TDxfPoint c{a.X + hx + f * hy, a.Y + hy - f * hx};
        const auto bulge = ArcBulgeThrough(a, c, e);
        ASSERT_TRUE(bulge.has_value());
        EXPECT_NEAR(*bulge, f, 1e-9) << i;
        EXPECT_LE(std::fabs(*bulge), 1.0);
    }
}

} // namespace
