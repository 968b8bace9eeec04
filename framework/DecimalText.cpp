#include "DecimalText.h"

#include <clocale>
#include <cstdint>
#include <cstring>
#include <cwchar>

namespace tavrel {
namespace {

// ---- Natural numbers of up to 5120 bits, in 32-bit limbs of base kBase (10^9 for
// decimal digits, 2^32 for binary ones), least significant limb first. The callers
// keep within the capacity: a double's exact value has at most 767 digits, and a
// number being read at most 4500 bits (see ReadDecimalText).

template <uint64_t kBase>
class Natural {
public:
    static constexpr size_t kCapacity = 160;

    explicit Natural(uint64_t value) {
        for (; value != 0; value /= kBase)
            m_limbs[m_size++] = static_cast<uint32_t>(value % kBase);
    }

    bool IsZero() const { return m_size == 0; }
    size_t Size() const { return m_size; }
    uint32_t Limb(size_t index) const { return index < m_size ? m_limbs[index] : 0; }

    // this = this * factor + addend, for factor and addend below 2^32.
    void MultiplyAdd(uint32_t factor, uint32_t addend = 0) {
        uint64_t carry = addend;
        for (size_t i = 0; i < m_size; ++i) {
            const uint64_t product = static_cast<uint64_t>(m_limbs[i]) * factor + carry;
            m_limbs[i] = static_cast<uint32_t>(product % kBase);
            carry = product / kBase;
        }
        for (; carry != 0; carry /= kBase)
            m_limbs[m_size++] = static_cast<uint32_t>(carry % kBase);
    }

    // this = floor(this / divisor), for a divisor of 1..2^30; true when a remainder was left.
    bool DivideBy(uint32_t divisor) {
        uint64_t remainder = 0;
        for (size_t i = m_size; i-- > 0;) {
            const uint64_t current = remainder * kBase + m_limbs[i];
            m_limbs[i] = static_cast<uint32_t>(current / divisor);
            remainder = current % divisor;
        }
        while (m_size != 0 && m_limbs[m_size - 1] == 0)
            --m_size;
        return remainder != 0;
    }

    // ---- Binary numbers only (kBase 2^32)

    size_t BitLength() const {
        if (m_size == 0)
            return 0;
        size_t length = 32 * (m_size - 1);
        for (uint32_t top = m_limbs[m_size - 1]; top != 0; top >>= 1)
            ++length;
        return length;
    }

    void ShiftLeft(size_t bits) {
        if (m_size == 0 || bits == 0)
            return;
        const size_t limbs = bits / 32;
        const unsigned rest = bits % 32;
        m_limbs[m_size + limbs] = 0;
        for (size_t i = m_size; i-- > 0;) {
            const uint64_t moved = static_cast<uint64_t>(m_limbs[i]) << rest;
            m_limbs[i + limbs + 1] |= static_cast<uint32_t>(moved >> 32);
            m_limbs[i + limbs] = static_cast<uint32_t>(moved);
        }
        for (size_t i = 0; i < limbs; ++i)
            m_limbs[i] = 0;
        m_size += limbs + 1;
        if (m_limbs[m_size - 1] == 0)
            --m_size;
    }

    bool Bit(size_t index) const { return (Limb(index / 32) >> (index % 32)) & 1; }

    // The count (at most 64) bits from bit index up, as a number.
    uint64_t Bits(size_t index, unsigned count) const {
        uint64_t bits = 0;
        for (unsigned i = count; i-- > 0;)
            bits = bits << 1 | (Bit(index + i) ? 1 : 0);
        return bits;
    }

    // Whether any bit below index is set.
    bool AnyBitBelow(size_t index) const {
        for (size_t i = 0; i < index / 32; ++i) {
            if (m_limbs[i] != 0)
                return true;
        }
        return index % 32 != 0 && (Limb(index / 32) & ((1u << (index % 32)) - 1)) != 0;
    }

private:
    uint32_t m_limbs[kCapacity + 1] = {};
    size_t m_size = 0;
};

using DecimalNatural = Natural<1000000000u>;
using BinaryNatural = Natural<uint64_t{1} << 32>;

constexpr uint32_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// ---- Writing

// The exact decimal expansion of a finite double's magnitude: the value is
// 0.digit[0]digit[1]... x 10^point. digit[0] is a '0' put in front of the
// significant digits, so that rounding never needs a digit more.
struct Expansion {
    char digit[800];
    int count = 0;
    int point = 0;

    char At(int index) const { return index >= 0 && index < count ? digit[index] : '0'; }
};

void Expand(double value, Expansion& expansion) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    int exponent = static_cast<int>(bits >> 52 & 0x7FF);
    uint64_t significand = bits & ((uint64_t{1} << 52) - 1);
    if (exponent == 0)
        exponent = 1;  // subnormal
    else
        significand |= uint64_t{1} << 52;
    exponent -= 1075;  // |value| = significand x 2^exponent

    // significand x 2^exponent, or significand x 5^-exponent x 10^exponent.
    DecimalNatural digits(significand);
    for (int left = exponent; left > 0; left -= 31)
        digits.MultiplyAdd(uint32_t{1} << (left < 31 ? left : 31));
    for (int left = -exponent; left > 0; left -= 13) {
        uint32_t power = 1;
        for (int i = 0; i < (left < 13 ? left : 13); ++i)
            power *= 5;
        digits.MultiplyAdd(power);
    }

    expansion.digit[0] = '0';
    expansion.count = 1;
    for (size_t limb = digits.Size(); limb-- > 0;) {
        const uint32_t value9 = digits.Limb(limb);
        for (int place = 8; place >= 0; --place) {
            const char digit = static_cast<char>('0' + value9 / kPowersOfTen[place] % 10);
            if (expansion.count > 1 || digit != '0')
                expansion.digit[expansion.count++] = digit;
        }
    }
    expansion.point = expansion.count + (exponent < 0 ? exponent : 0);
}

// Keeps the first keep digits (keep >= 1), rounding the dropped ones off, a half to
// the even digit.
void RoundTo(Expansion& expansion, int keep) {
    if (keep >= expansion.count)
        return;
    bool up = expansion.digit[keep] > '5';
    if (expansion.digit[keep] == '5') {
        up = (expansion.digit[keep - 1] - '0') % 2 != 0;
        for (int i = keep + 1; i < expansion.count; ++i) {
            if (expansion.digit[i] != '0')
                up = true;
        }
    }
    expansion.count = keep;
    if (up) {
        int i = keep - 1;
        for (; expansion.digit[i] == '9'; --i)
            expansion.digit[i] = '0';
        ++expansion.digit[i];  // digit[0] is '0', so the carry ends there at the latest
    }
}

class TextWriter {
public:
    explicit TextWriter(wchar_t (&text)[kNumberTextSize]) : m_text(text) {}
    ~TextWriter() { m_text[m_length] = L'\0'; }
    void Put(wchar_t character) {
        if (m_length + 1 < kNumberTextSize)
            m_text[m_length++] = character;
    }
    void Put(const wchar_t* characters) {
        while (*characters)
            Put(*characters++);
    }

private:
    wchar_t (&m_text)[kNumberTextSize];
    size_t m_length = 0;
};

// The radix character of the C runtime's locale, as the library's printf takes it.
wchar_t RadixCharacter() {
    const std::lconv* conventions = std::localeconv();
    wchar_t radix = L'.';
    if (conventions && conventions->decimal_point) {
        std::mbstate_t state{};
        wchar_t converted = L'\0';
        const size_t length = std::mbrtowc(&converted, conventions->decimal_point, 16, &state);
        if (length != 0 && length <= 16)
            radix = converted;
    }
    return radix;
}

// Infinity and NaN as the library's printf writes them (NaN without its sign); true
// when value is one of them. Otherwise the sign of a negative value, even one that
// rounds to 0.
bool PutSpecialOrSign(double value, TextWriter& writer) {
    if (value != value) {
        writer.Put(L"nan");
        return true;
    }
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    if (bits >> 63)
        writer.Put(L'-');
    if ((bits & 0x7FF0000000000000u) == 0x7FF0000000000000u) {
        writer.Put(L"inf");
        return true;
    }
    return false;
}

// ---- Reading

// The double nearest to significand x 2^exponent (significand's top bit set), a half
// to the even one; infinite beyond the largest.
double ComposeDouble(bool negative, uint64_t significand, int exponent) {
    const int top = exponent + 63;  // the value lies in [2^top, 2^(top+1))
    uint64_t bits = 0;
    if (top > 1023) {
        bits = 0x7FF0000000000000u;
    } else {
        const int drop = top >= -1022 ? 11 : 11 + (-1022 - top);  // subnormals keep fewer bits
        uint64_t kept = 0;
        if (drop == 64) {
            // Below half the smallest subnormal at most; exactly half rounds to 0 (even).
            kept = (significand << 1) != 0 ? 1 : 0;
        } else if (drop < 64) {
            kept = significand >> drop;
            const uint64_t half = uint64_t{1} << (drop - 1);
            const uint64_t rest = significand & ((half << 1) - 1);
            if (rest > half || (rest == half && (kept & 1) != 0))
                ++kept;
        }
        if (top >= -1022) {
            uint64_t biased = static_cast<uint64_t>(top + 1023);
            if (kept == uint64_t{1} << 53) {
                kept >>= 1;
                ++biased;
            }
            bits = biased >= 0x7FF ? 0x7FF0000000000000u : biased << 52 | (kept & ((uint64_t{1} << 52) - 1));
        } else {
            bits = kept;  // a subnormal; 2^52 here is the smallest normal number
        }
    }
    if (negative)
        bits |= uint64_t{1} << 63;
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Whether the C runtime's locale writes its decimal point as '.'.
bool RadixIsPoint() {
    const std::lconv* conventions = std::localeconv();
    return !conventions || !conventions->decimal_point || std::strcmp(conventions->decimal_point, ".") == 0;
}

}  // namespace

void WriteFixedText(double value, int decimals, wchar_t (&text)[kNumberTextSize]) {
    decimals = decimals < 0 ? 0 : decimals > kMaxFixedDecimals ? kMaxFixedDecimals : decimals;
    TextWriter writer(text);
    if (PutSpecialOrSign(value, writer))
        return;
    Expansion expansion;
    Expand(value, expansion);
    // Rounding keeps the digits down to the last decimal; a value below half of that
    // decimal's unit keeps none and is 0.
    const int keep = expansion.point + decimals;
    if (keep >= 1)
        RoundTo(expansion, keep);
    else
        expansion.count = 1;

    int first = 0;  // no leading zeros, but at least one digit before the radix
    while (first < expansion.point - 1 && expansion.At(first) == '0')
        ++first;
    if (expansion.point <= 0)
        writer.Put(L'0');
    for (int i = first; i < expansion.point; ++i)
        writer.Put(static_cast<wchar_t>(expansion.At(i)));
    if (decimals > 0) {
        writer.Put(RadixCharacter());
        for (int i = 0; i < decimals; ++i)
            writer.Put(static_cast<wchar_t>(expansion.At(expansion.point + i)));
    }
}

void WriteGeneralText(double value, int precision, wchar_t (&text)[kNumberTextSize]) {
    precision = precision < 1 ? 1 : precision > kMaxSignificantDigits ? kMaxSignificantDigits : precision;
    TextWriter writer(text);
    if (PutSpecialOrSign(value, writer))
        return;
    if (value == 0) {
        writer.Put(L'0');
        return;
    }
    Expansion expansion;
    Expand(value, expansion);
    RoundTo(expansion, 1 + precision);
    // A carry into the leading '0' makes it the first significant digit.
    const int first = expansion.digit[0] != '0' ? 0 : 1;
    const int exponent = expansion.point - 1 - first;  // of the first significant digit
    int last = first + precision - 1;                  // trailing zeros are dropped
    while (last > first && expansion.At(last) == '0')
        --last;

    const wchar_t radix = RadixCharacter();
    if (exponent < -4 || exponent >= precision) {
        writer.Put(static_cast<wchar_t>(expansion.At(first)));
        if (last > first)
            writer.Put(radix);
        for (int i = first + 1; i <= last; ++i)
            writer.Put(static_cast<wchar_t>(expansion.At(i)));
        writer.Put(L'e');
        writer.Put(exponent < 0 ? L'-' : L'+');
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude >= 100)
            writer.Put(static_cast<wchar_t>(L'0' + magnitude / 100));
        writer.Put(static_cast<wchar_t>(L'0' + magnitude / 10 % 10));
        writer.Put(static_cast<wchar_t>(L'0' + magnitude % 10));
    } else if (exponent >= 0) {
        for (int i = first; i <= first + exponent; ++i)
            writer.Put(static_cast<wchar_t>(expansion.At(i)));
        if (last > first + exponent)
            writer.Put(radix);
        for (int i = first + exponent + 1; i <= last; ++i)
            writer.Put(static_cast<wchar_t>(expansion.At(i)));
    } else {
        writer.Put(L'0');
        writer.Put(radix);
        for (int i = 1; i < -exponent; ++i)
            writer.Put(L'0');
        for (int i = first; i <= last; ++i)
            writer.Put(static_cast<wchar_t>(expansion.At(i)));
    }
}

double ReadDecimalText(const wchar_t* number, size_t length) {
    // Exact up to kMaxDigits significant digits; any further ones only tell whether the
    // value lies above those: no rounding of a double or long double can depend on
    // more (the values halfway between two of them have fewer than 820 digits).
    constexpr int kMaxDigits = 1000;
    size_t i = 0;
    const bool negative = length > 0 && number[0] == L'-';
    if (length > 0 && (number[0] == L'-' || number[0] == L'+'))
        ++i;

    // value = digits x 10^exponent10, plus something below one unit of the last digit
    // when beyondDigits.
    char digits[kMaxDigits];
    int count = 0;
    long exponent10 = 0;
    bool beyondDigits = false;
    const bool pointIsRadix = RadixIsPoint();
    bool inFraction = false;
    for (; i < length; ++i) {
        const wchar_t c = number[i];
        if (c == L'.') {
            if (!pointIsRadix || inFraction)
                break;
            inFraction = true;
            continue;
        }
        if (c < L'0' || c > L'9')
            break;
        if (inFraction)
            --exponent10;
        if (count == 0 && c == L'0')
            continue;
        if (count < kMaxDigits) {
            digits[count++] = static_cast<char>(c - L'0');
        } else {
            ++exponent10;
            beyondDigits = beyondDigits || c != L'0';
        }
    }
    if (i < length && (number[i] == L'e' || number[i] == L'E')) {
        ++i;
        const bool negativeExponent = i < length && number[i] == L'-';
        if (i < length && (number[i] == L'-' || number[i] == L'+'))
            ++i;
        long exponent = 0;
        for (; i < length && number[i] >= L'0' && number[i] <= L'9'; ++i) {
            if (exponent < 100000)  // far beyond any double either way
                exponent = exponent * 10 + (number[i] - L'0');
        }
        exponent10 += negativeExponent ? -exponent : exponent;
    }
    while (count > 0 && digits[count - 1] == 0) {
        --count;
        ++exponent10;
    }

    // The value lies in [10^(count + exponent10 - 1), 10^(count + exponent10)).
    if (count == 0 || count + exponent10 < -330)  // below a quarter of the smallest subnormal
        return ComposeDouble(negative, 0, -2000);
    if (count + exponent10 > 310)  // beyond DBL_MAX
        return ComposeDouble(negative, uint64_t{1} << 63, 2000);

    BinaryNatural value(0);
    for (int k = 0; k < count;) {
        uint32_t chunk = 0;
        int taken = 0;
        for (; taken < 9 && k < count; ++taken, ++k)
            chunk = chunk * 10 + static_cast<uint32_t>(digits[k]);
        value.MultiplyAdd(kPowersOfTen[taken], chunk);
    }
    // value x 2^-shift, exactly or (beyondDigits) just below the number.
    size_t shift = 0;
    if (exponent10 >= 0) {
        for (long left = exponent10; left > 0; left -= 9)
            value.MultiplyAdd(kPowersOfTen[left < 9 ? left : 9]);
    } else {
        // Enough bits that the quotient keeps 67 or more: 10^q has fewer than
        // q x 3.322 + 1 of them. Here q < 1331, so the shifted value stays below
        // 4500 bits.
        const long q = -exponent10;
        const size_t wanted = 68 + static_cast<size_t>(q * 3322 / 1000) + 1;
        if (value.BitLength() < wanted)
            shift = wanted - value.BitLength();
        value.ShiftLeft(shift);
        for (long left = q; left > 0; left -= 9)
            beyondDigits = value.DivideBy(kPowersOfTen[left < 9 ? left : 9]) || beyondDigits;
    }

    // First to the 64-bit significand of a long double, a half to even...
    const size_t bitLength = value.BitLength();
    uint64_t significand = 0;
    int exponent2 = static_cast<int>(bitLength) - 64 - static_cast<int>(shift);
    if (bitLength > 64) {
        significand = value.Bits(bitLength - 64, 64);
        const bool half = value.Bit(bitLength - 65);
        const bool aboveHalf = beyondDigits || value.AnyBitBelow(bitLength - 65);
        if (half && (aboveHalf || (significand & 1) != 0) && ++significand == 0) {
            significand = uint64_t{1} << 63;
            ++exponent2;
        }
    } else {
        significand = value.Bits(0, static_cast<unsigned>(bitLength)) << (64 - bitLength);
    }
    // ...then that to a double.
    return ComposeDouble(negative, significand, exponent2);
}

}  // namespace tavrel
