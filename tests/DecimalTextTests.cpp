// The library's own decimal texts (framework/DecimalText.h) against the C library
// they stand in for: GCC's MinGW headers bind swprintf and wcstod to MinGW's C
// library, which writes and reads here exactly as it did inside Tavrel.dll before.
// Every comparison is of the whole text, or of the double's bits.
#include "DecimalText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

using namespace tavrel;

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

double FromBits(uint64_t bits) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

uint64_t Bits(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// format "f" or "g": the C library's "%.*f" or "%.*g" text, or the library's own.
std::wstring LibraryText(char format, double value, int digits) {
    wchar_t text[kNumberTextSize];
    std::swprintf(text, kNumberTextSize, format == 'f' ? L"%.*f" : L"%.*g", digits, value);
    return text;
}

std::wstring OwnText(char format, double value, int digits) {
    wchar_t text[kNumberTextSize];
    if (format == 'f')
        WriteFixedText(value, digits, text);
    else
        WriteGeneralText(value, digits, text);
    return text;
}

std::wstring OwnFixed(double value, int decimals) { return OwnText('f', value, decimals); }

// Compares every text the library writes for value; returns the number of mismatches
// (each reported, the first few in full).
int CompareWritten(double value, int& reported) {
    int mismatches = 0;
    auto check = [&](char format, int digits) {
        const std::wstring own = OwnText(format, value, digits), library = LibraryText(format, value, digits);
        if (own == library)
            return;
        ++mismatches;
        if (reported++ < 10)
            ADD_FAILURE() << "%." << digits << format << " of " << std::hexfloat << value << ": own \"" << Narrow(own)
                          << "\", C library \"" << Narrow(library) << '"';
    };
    for (int decimals = 0; decimals <= 6; ++decimals)
        check('f', decimals);
    check('g', 15);
    return mismatches;
}

double OwnRead(const std::wstring& text) { return ReadDecimalText(text.c_str(), text.size()); }

int CompareRead(const std::wstring& text, int& reported) {
    const double own = OwnRead(text);
    const double library = std::wcstod(text.c_str(), nullptr);
    if (Bits(own) == Bits(library))
        return 0;
    if (reported++ < 10)
        ADD_FAILURE() << "\"" << Narrow(text).substr(0, 120) << "\" (" << text.size() << " characters): own "
                      << std::hexfloat << own << ", C library " << library;
    return 1;
}

// The exact decimal value of a long double, as the C library writes it with enough
// digits: "d.ddd...e+XX".
std::wstring ExactText(long double value) {
    std::vector<wchar_t> text(1300);  // exact for values above 2^-1140 (fewer than 830 digits)
    std::swprintf(text.data(), text.size(), L"%.*Le", 1200, value);
    std::wstring exact(text.data());
    // Drop the zeros after the last significant digit.
    const size_t e = exact.find(L'e');
    size_t end = exact.find_last_not_of(L'0', e - 1);
    if (exact[end] == L'.')
        --end;
    return exact.substr(0, end + 1) + exact.substr(e);
}

TEST(DecimalText, WritesWhatTheCLibraryWrites) {
    int reported = 0;
    int mismatches = 0;
    const double specials[] = {0.0,     -0.0,           0.5,          1.5,           2.5,         -2.5,
                               0.25,    1.25,           0.125,        -0.4,          0.1,         1.0 / 3,
                               1e20,    1e21,           1e22,         1e23,          1e-5,        1e-4,
                               1e15,    999999999999999.4, 999999999999999.5, 9999999.99999995, 123456789012345678.0,
                               1234567890123.125, DBL_MAX, -DBL_MAX,   DBL_MIN,       DBL_TRUE_MIN, 0x1.fffffffffffffp-1023,
                               INFINITY, -INFINITY,     NAN,          -NAN,          std::copysign(NAN, -1.0)};
    for (double value : specials)
        mismatches += CompareWritten(value, reported);

    // Powers of ten and their neighbours, across the whole range.
    for (int exponent = -325; exponent <= 308; ++exponent) {
        const double power = std::pow(10.0, exponent);
        mismatches += CompareWritten(power, reported);
        mismatches += CompareWritten(std::nextafter(power, 0.0), reported);
        mismatches += CompareWritten(-std::nextafter(power, INFINITY), reported);
    }

    std::mt19937_64 random(20261206);
    // Halves at every decimal place up to the sixth: odd multiples of 2^-(d+1).
    for (int i = 0; i < 4000; ++i) {
        const int d = static_cast<int>(random() % 7);
        const double odd = static_cast<double>((random() % 2000000) * 2 + 1);
        mismatches += CompareWritten(std::ldexp(odd, -(d + 1)) * ((random() & 1) ? 1 : -1), reported);
    }
    // Halves at the 16th significant digit: 16-digit integers ending in 5.
    for (int i = 0; i < 4000; ++i) {
        const uint64_t whole = 1000000000000000u + random() % 8000000000000000u;
        mismatches += CompareWritten(static_cast<double>(whole / 10 * 10 + 5), reported);
    }
    // Any double at all, and small and moderate values as a page sees them.
    for (int i = 0; i < 5000; ++i) {
        mismatches += CompareWritten(FromBits(random()), reported);
        mismatches += CompareWritten(std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 90) - 95),
                                     reported);
    }
    EXPECT_EQ(0, mismatches);
}

TEST(DecimalText, ReadsWhatTheCLibraryReads) {
    int reported = 0;
    int mismatches = 0;
    const wchar_t* const fixed[] = {L"0",      L"-0",      L"+0.000",  L"5",        L"-12.5",    L"83e25",
                                    L"1e308",  L"1.8e308", L"1e309",   L"1e-320",   L"2e-324",   L"3e-324",
                                    L"1e-400", L"5.",      L"-.5e1",   L"1E+2",     L"0.1",      L"1e-99999",
                                    L"1e99999", L"123456789012345678901234567890", L"0.000000000000000000000000000001",
                                    L"0e400",  L"-0.0e-400"};
    for (const wchar_t* text : fixed)
        mismatches += CompareRead(text, reported);

    std::mt19937_64 random(1206);
    auto digits = [&](size_t count) {
        std::wstring text;
        for (size_t i = 0; i < count; ++i)
            text += static_cast<wchar_t>(L'0' + random() % 10);
        return text;
    };
    // Short and long numbers at every scale.
    for (int i = 0; i < 20000; ++i) {
        const size_t count = 1 + random() % (i % 10 == 0 ? 60 : 20);
        std::wstring text = (random() & 1) ? L"-" : L"";
        std::wstring number = digits(count);
        const size_t point = random() % (count + 1);
        if (point < count)
            number.insert(point, 1, L'.');
        text += number + L"e" + std::to_wstring(static_cast<int>(random() % 700) - 350);
        mismatches += CompareRead(text, reported);
    }
    for (int i = 0; i < 200; ++i)
        mismatches += CompareRead(L"0." + digits(30 + random() % 1100) + L"e" + std::to_wstring(random() % 40), reported);

    // Halfway between two doubles, and just beside it: a double's neighbours differ in
    // the 53rd bit, their midpoint is exact in a long double.
    for (int i = 0; i < 1500; ++i) {
        double low = FromBits(random() >> 1);
        if (i % 5 == 0)
            low = FromBits(random() % 0x0010000000000000u);  // subnormal
        if (!std::isfinite(low) || !std::isfinite(std::nextafter(low, INFINITY)))
            continue;
        const long double midpoint = (static_cast<long double>(low) + std::nextafter(low, INFINITY)) / 2;
        const std::wstring exact = ExactText(midpoint);
        const size_t e = exact.find(L'e');
        mismatches += CompareRead(exact, reported);
        // A hair above: the long double rounding first makes it the midpoint again.
        mismatches += CompareRead(exact.substr(0, e) + L"000000000000000000000001" + exact.substr(e), reported);
        // One long double step either side of the midpoint.
        mismatches += CompareRead(ExactText(std::nextafter(midpoint, static_cast<long double>(INFINITY))), reported);
        mismatches += CompareRead(ExactText(std::nextafter(midpoint, 0.0L)), reported);
    }
    // The edges: half the smallest subnormal, and halfway from DBL_MAX to 2^1024.
    for (long double edge : {std::ldexp(1.0L, -1075), std::ldexp(1.0L, 1024) - std::ldexp(1.0L, 970)}) {
        const std::wstring exact = ExactText(edge);
        const size_t e = exact.find(L'e');
        mismatches += CompareRead(exact, reported);
        mismatches += CompareRead(exact.substr(0, e) + L"0000000000000001" + exact.substr(e), reported);
        mismatches += CompareRead(ExactText(std::nextafter(edge, 0.0L)), reported);
    }
    // Halfway between two long doubles: above 2^64 they are even integers 2 apart, so the
    // odd integer between two is exact in decimal. Beside a double's midpoint the tie
    // to the even long double decides which double the text reads as.
    for (int i = 0; i < 500; ++i) {
        const double low = std::ldexp(static_cast<double>((random() >> 12) | (uint64_t{1} << 52)), 12);
        const long double midpoint = (static_cast<long double>(low) + std::nextafter(low, INFINITY)) / 2;
        for (long double below : {midpoint, midpoint - 2}) {
            wchar_t text[48];
            std::swprintf(text, 48, L"%.0Lf", below);
            ++text[std::wcslen(text) - 1];  // the last digit is even: no carry
            mismatches += CompareRead(text, reported);
        }
    }
    EXPECT_EQ(0, mismatches);
    EXPECT_EQ(100.0, ReadDecimalText(L"1e23", 3)) << "only the given length is read";
}

TEST(DecimalText, FollowsTheRadixOfTheCRuntimesLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(nullptr, std::setlocale(LC_NUMERIC, "German"));
    int reported = 0;
    int mismatches = 0;
    for (double value : {1.25, -0.5, 1e-7, 12345.678, 1e20})
        mismatches += CompareWritten(value, reported);
    for (const wchar_t* text : {L"1.5", L"-2.75e2", L"3e2", L"0.5"})
        mismatches += CompareRead(text, reported);
    EXPECT_EQ(L"1,2", OwnFixed(1.25, 1));
    EXPECT_EQ(1.0, OwnRead(L"1.5"));
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(0, mismatches);
    EXPECT_EQ(L"1.2", OwnFixed(1.25, 1));
}

}  // namespace
