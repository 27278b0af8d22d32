#include "DxfNumber.h"
#include "DxfTestSupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale>
#include <random>
#include <string>
#include <vector>

using namespace quirindo;
using namespace quirindo::dxftest;

namespace {

TEST(DxfNumber, ShortestGeneralFormWithFifteenDigits) {
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {210, "210"},
        {0, "0"},
        {-0.0, "0"},
        {0.5, "0.5"},
        {-277.5, "-277.5"},
        {1.2, "1.2"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {296.99999999999994, "297"},
        {100, "100"},
        {1e14, "100000000000000"},
        {123456789012345, "123456789012345"},
        {0.0001, "0.0001"},
        {-0.00012345, "-0.00012345"},
        {1e-5, "1E-5"},
        {-1.5e-7, "-1.5E-7"},
        {9.99999999999999e-5, "9.99999999999999E-5"},
        {1e15, "1E15"},
        {999999999999999.9, "1E15"}, // rounding to 15 digits reaches 10^15
        {1234567890123456, "1.23456789012346E15"},
        {-2.5e20, "-2.5E20"},
        {1e-300, "1E-300"},
        {std::numeric_limits<double>::max(), "1.79769313486232E308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDxfNumber(c.Value), c.Text) << c.Text;
}

// Compared with the C library's correctly rounded "%.14e" (in the C locale)
// on values of every magnitude and on values right at the half way mark of
// the 15th digit, where rounding from a shorter text could go wrong.
TEST(DxfNumber, AgreesWithCorrectlyRoundedPrintf) {
    std::vector<double> values;
    std::mt19937_64 rng(42);
    for (int i = 0; i < 100000; ++i) {
        const double v = std::bit_cast<double>(rng());
        if (std::isfinite(v)) values.push_back(v);
    }
    std::uniform_real_distribution<double> mantissa(1, 10);
    std::uniform_int_distribution<int> decade(-8, 18);
    for (int i = 0; i < 100000; ++i)
        values.push_back(mantissa(rng) * std::pow(10.0, decade(rng)));
    std::uniform_int_distribution<long long> fifteen(100000000000000LL, 999999999999999LL);
    for (int i = 0; i < 20000; ++i) {
        // d.dddddddddddddd5 times a power of ten, and its neighbours.
        char text[40];
        std::snprintf(text, sizeof text, "%lld5e%d", fifteen(rng), decade(rng) - 15);
        const double v = std::strtod(text, nullptr);
        for (double w : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e300)}) {
            values.push_back(w);
            values.push_back(-w);
        }
    }
    // Exact binary fractions: many have 16 or more digits that end exactly
    // half way, where rounding goes to the even neighbour.
    for (int m = 1; m <= 3000; ++m)
        for (int j = 1; j <= 30; ++j)
            values.push_back(std::ldexp(m, -j));
    for (int i = 0; i < 5000; ++i) {
        const double x = static_cast<double>(fifteen(rng));
        for (double frac : {0.5, 0.25, 0.75, 0.125})
            values.push_back((frac == 0.5 ? x : std::floor(x / 10)) + frac); // ties at 1E14, 1E13
    }
    // Around every power of ten, where the decade changes.
    for (int k = -9; k <= 16; ++k) {
        double v = std::pow(10.0, k);
        for (int i = 0; i < 4; ++i)
            v = std::nextafter(v, 0.0);
        for (int i = 0; i < 9; ++i, v = std::nextafter(v, 1e300))
            values.push_back(v);
    }
    for (double v : {9.99999999999999e-5, 9.999999999999995e-5, 999999999999999.4,
                     999999999999999.5, 0.30000000000000004, 5e-324, 2.2250738585072014e-308})
        values.push_back(v);

    std::size_t failures = 0;
    for (double v : values) {
        char ref[40];
        std::snprintf(ref, sizeof ref, "%.14e", v);
        const double rounded = std::strtod(ref, nullptr);
        const std::string out = FormatDxfNumber(v);
        const double back = std::strtod(out.c_str(), nullptr);
        const bool scientific = out.find('E') != std::string::npos;
        const double mag = std::fabs(rounded);
        std::size_t significant = 0;
        for (char c : out.substr(0, out.find('E')))
            if (c >= '0' && c <= '9') ++significant;
        const std::string mantissaText = out.substr(0, out.find('E'));
        const bool trailingZero =
            mantissaText.find('.') != std::string::npos && mantissaText.back() == '0';
        const bool ok =
            std::bit_cast<std::uint64_t>(back) == std::bit_cast<std::uint64_t>(rounded) &&
            scientific == (mag < 1e-4 || mag >= 1e15) && !trailingZero &&
            (scientific ? significant <= 15 : true) &&
            out.find_first_not_of("-0123456789.E") == std::string::npos;
        if (!ok && ++failures <= 10) ADD_FAILURE() << ref << " written " << out;
    }
    EXPECT_EQ(failures, 0u);
}

TEST(DxfNumber, NoSpellingForNanOrInfinity) {
    EXPECT_EQ(FormatDxfNumber(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(FormatDxfNumber(std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(FormatDxfNumber(-std::numeric_limits<double>::infinity()), "0");
}

// A decimal comma from the user's settings must not reach the file. The C++
// global locale is given a comma by hand, and the C library's locale is the
// German one that the set-up script generates.
struct TCommaNumpunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

class DxfNumberLocale : public ::testing::Test {
protected:
    void SetUp() override {
        FOldGlobal = std::locale::global(std::locale(std::locale::classic(), new TCommaNumpunct));
        FOldC = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"}) {
            if (std::setlocale(LC_ALL, name)) break;
        }
    }

    static bool CommaInEffect() {
        char text[16];
        std::snprintf(text, sizeof text, "%g", 0.5);
        return std::string(text) == "0,5" && std::string(std::localeconv()->decimal_point) == ",";
    }
    void TearDown() override {
        std::setlocale(LC_ALL, FOldC.c_str());
        std::locale::global(FOldGlobal);
    }

private:
    std::locale FOldGlobal;
    std::string FOldC;
};

TEST_F(DxfNumberLocale, HalfIsWrittenWithFullStop) {
    ASSERT_TRUE(CommaInEffect()) << "the locale de_DE.UTF-8 is missing; scripts/setup.sh makes it";
    EXPECT_EQ(FormatDxfNumber(0.5), "0.5");
    EXPECT_EQ(FormatDxfNumber(1234.25), "1234.25");

    TDrawing d;
    AddLine(d, 0.5, 20, 1234.25, 20);
    AddText(d, u"t", 0.5, 10, 5);
    const TDxfTextMeasure measure = [](const TTextObject&) { return TDxfTextMetrics{2, 3, 0.5}; };
    const TEntities e =
        ReadEntities(DxfFromDrawing(d, A4Height(), TDxfMiddleSearch::Fast, measure));
    ASSERT_EQ(e.Polylines.size(), 1u);
    ASSERT_EQ(e.Polylines[0].Vertices.size(), 2u);
    EXPECT_EQ(e.Polylines[0].Vertices[0].X, 0.5);
    EXPECT_EQ(e.Polylines[0].Vertices[1].X, 1234.25);
    ASSERT_EQ(e.Texts.size(), 1u);
    EXPECT_EQ(e.Texts[0].X, 0.5);
    EXPECT_EQ(e.Texts[0].Height, 0.5);
}

} // namespace
