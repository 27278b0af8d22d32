#include "DxfNumber.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace quirindo {

namespace {

// The 15 significant digits of |value| rounded to nearest, and the decimal
// exponent of the first one. Returns the number of digits before trailing
// zeros are dropped (at most 15).
int RoundedDigits(double value, char (&digits)[17], int& exponent) {
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

void AppendDxfNumber(std::string& out, double value) {
    // -0 and zero are both "0"; there is nothing sensible to write for NaN
    // or infinity.
    if (value == 0.0 || !std::isfinite(value)) {
        out.push_back('0');
        return;
    }
    const bool negative = value < 0;
    char digits[17];
    int exponent = 0;
    int count = RoundedDigits(value, digits, exponent);
    while (count > 1 && digits[count - 1] == '0')
        --count;

    char buf[40];
    char* q = buf;
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
            const int intDigits = exponent + 1;
            for (int i = 0; i < intDigits; ++i)
                *q++ = i < count ? digits[i] : '0';
            if (count > intDigits) {
                *q++ = '.';
                for (int i = intDigits; i < count; ++i)
                    *q++ = digits[i];
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
        q = std::to_chars(q, buf + sizeof buf, exponent < 0 ? -exponent : exponent).ptr;
    }
    out.append(buf, static_cast<std::size_t>(q - buf));
}

std::string FormatDxfNumber(double value) {
    std::string out;
    AppendDxfNumber(out, value);
    return out;
}

} // namespace quirindo
