#include "DxfNumber.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <system_error>

namespace quirindo {

namespace {

__extension__ using TUInt128 = unsigned __int128;

constexpr std::array<TUInt128, 23> kPowersOfTen = [] {
    std::array<TUInt128, 23> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * 10;
    return p;
}();

// 10^(d + 1) for the decade estimates d from -9 to 14.
constexpr std::array<double, 24> kDecades = {
    1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,
    1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

constexpr std::uint64_t kTenTo14 = 100000000000000ULL;
constexpr std::uint64_t kTenTo15 = 1000000000000000ULL;

// The common case, coordinates and bulges from 1E-7 up to below 1E15, in
// integer arithmetic: |value| = m x 2^-s exactly, so |value| x 10^k =
// m x 10^k / 2^s, whose quotient and remainder give the 15 digits and the
// exact rounding (half to even, as printf does). False outside that range.
bool RoundedDigitsInRange(double value, char (&digits)[32], int& exponent) {
    const double a = std::fabs(value);
    if (!(a >= 1e-7 && a < 1e15)) return false;
    const auto bits = std::bit_cast<std::uint64_t>(a);
    const int binaryExponent = static_cast<int>(bits >> 52) - 1023; // from -24 to 49
    const std::uint64_t m = (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52);
    const int shift = 52 - binaryExponent; // from 3 to 76
    // floor(log10 |value|) is this estimate or one more; a comparison with
    // the next power of ten decides without a branch. Below 1 the powers are
    // not exact, so a value right at one may still land a decade off; the
    // digits' count shows that below and the product is made again.
    int e = (binaryExponent * 78913) >> 18; // floor(binaryExponent x log10 2)
    e += static_cast<int>(a >= kDecades[static_cast<std::size_t>(e + 9)]);
    // Up to 10^19 the power fits 64 bits and one multiplication does.
    const auto scaled = [&](int k) {
        return k <= 19 ? static_cast<TUInt128>(m) * static_cast<std::uint64_t>(kPowersOfTen[k])
                       : static_cast<TUInt128>(m) * kPowersOfTen[k];
    };
    TUInt128 product = scaled(14 - e);
    if ((product >> shift) >= kTenTo15)
        product = scaled(14 - ++e);
    else if ((product >> shift) < kTenTo14)
        product = scaled(14 - --e);
    auto n = static_cast<std::uint64_t>(product >> shift);
    const TUInt128 rest = product & ((TUInt128(1) << shift) - 1);
    const TUInt128 half = TUInt128(1) << (shift - 1);
    // Rounding up is as likely as not: computed, not branched on.
    n += static_cast<std::uint64_t>((rest > half) | ((rest == half) & ((n & 1) != 0)));
    if (n == kTenTo15) {
        n = kTenTo14;
        ++e;
    }
    // The 15 digits in groups of at most four, so that the divisions do not
    // wait for each other, and two at a time from a table.
    static constexpr char kPairs[] = "0001020304050607080910111213141516171819"
                                     "2021222324252627282930313233343536373839"
                                     "4041424344454647484950515253545556575859"
                                     "6061626364656667686970717273747576777879"
                                     "8081828384858687888990919293949596979899";
    const auto two = [](char* at, std::uint32_t pair) { std::memcpy(at, kPairs + 2 * pair, 2); };
    const auto high = static_cast<std::uint32_t>(n / 100000000); // 7 digits
    const auto low = static_cast<std::uint32_t>(n % 100000000);  // 8 digits
    const std::uint32_t h1 = high / 10000, h2 = high % 10000;
    const std::uint32_t l1 = low / 10000, l2 = low % 10000;
    digits[0] = static_cast<char>('0' + h1 / 100);
    two(digits + 1, h1 % 100);
    two(digits + 3, h2 / 100);
    two(digits + 5, h2 % 100);
    two(digits + 7, l1 / 100);
    two(digits + 9, l1 % 100);
    two(digits + 11, l2 / 100);
    two(digits + 13, l2 % 100);
    exponent = e;
    return true;
}

// The 15 significant digits of |value| rounded to nearest, and the decimal
// exponent of the first one. Returns the number of digits before trailing
// zeros are dropped (at most 15).
int RoundedDigits(double value, char (&digits)[32], int& exponent) {
    if (RoundedDigitsInRange(value, digits, exponent)) return 15;
    char sci[40];
    const auto parse = [&](const char* end) {
        const char* p = sci;
        if (*p == '-') ++p;
        int count = 0;
        for (; *p != 'e'; ++p)
            if (*p != '.') digits[count++] = *p;
        ++p; // 'e'
        const bool negativeExponent = *p == '-';
        ++p; // sign
        exponent = 0;
        for (; p < end; ++p)
            exponent = exponent * 10 + (*p - '0');
        if (negativeExponent) exponent = -exponent;
        return count;
    };

    // The shortest text that reads back as the value (at most 17 digits) is
    // cheap to get. With 15 digits or fewer it is the rounded value itself: it
    // lies within half a binary unit of the value, closer than half a unit of
    // the 15th digit. With 16 or 17 it can be rounded at the 15th digit unless
    // its tail is so near the half way mark that the value and the text could
    // lie on different sides of it (the text is off by less than 11.2 units of
    // the 17th digit; subnormal numbers have no such bound).
    if (std::fabs(value) >= 1e-300) {
        const auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific);
        if (res.ec == std::errc()) {
            const int count = parse(res.ptr);
            if (count <= 15) return count;
            const int tail = (digits[15] - '0') * 10 + (count > 16 ? digits[16] - '0' : 0);
            if (tail <= 37 || tail >= 63) {
                if (tail >= 63) {
                    int i = 14;
                    while (i >= 0 && digits[i] == '9')
                        digits[i--] = '0';
                    if (i >= 0) {
                        ++digits[i];
                    } else {
                        digits[0] = '1';
                        ++exponent;
                    }
                }
                return 15;
            }
        }
    }
    // Correctly rounded to 15 digits: "-d.dddddddddddddde+XX".
    const auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14);
    return parse(res.ptr);
}

} // namespace

char* WriteDxfNumber(char* out, double value) {
    // -0 and zero are both "0"; there is nothing sensible to write for NaN
    // or infinity.
    if (value == 0.0 || !std::isfinite(value)) {
        *out++ = '0';
        return out;
    }
    const bool negative = value < 0;
    // 15 digits and room to copy them in fixed blocks of 16.
    char digits[32];
    int exponent = 0;
    int count = RoundedDigits(value, digits, exponent);
    std::fill(digits + count, digits + 15, '0');
    while (count > 1 && digits[count - 1] == '0')
        --count;

    char* q = out;
    if (negative) *q++ = '-';
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            *q++ = '0';
            *q++ = '.';
            for (int i = 0; i < -exponent - 1; ++i)
                *q++ = '0';
            for (int i = 0; i < count; ++i)
                *q++ = digits[i];
        } else {
            // Digits beyond `count` are zeros, so the whole part copies as
            // is. Blocks of 16 bytes are copied and the end set after them:
            // a fixed size copies faster than the exact one, and `out` has
            // the room (at most 17 bytes come before the fraction).
            const int intDigits = exponent + 1;
            std::memcpy(q, digits, 16);
            q += intDigits;
            if (count > intDigits) {
                *q++ = '.';
                std::memcpy(q, digits + intDigits, 16);
                q += count - intDigits;
            }
        }
    } else {
        *q++ = digits[0];
        if (count > 1) {
            *q++ = '.';
            for (int i = 1; i < count; ++i)
                *q++ = digits[i];
        }
        *q++ = 'E';
        if (exponent < 0) *q++ = '-';
        q = std::to_chars(q, out + kMaxDxfNumberChars, exponent < 0 ? -exponent : exponent).ptr;
    }
    return q;
}

void AppendDxfNumber(std::string& out, double value) {
    char text[kMaxDxfNumberChars];
    out.append(text, static_cast<std::size_t>(WriteDxfNumber(text, value) - text));
}

std::string FormatDxfNumber(double value) {
    std::string out;
    AppendDxfNumber(out, value);
    return out;
}

} // namespace quirindo
