#include "protocol/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <system_error>

namespace zelta {

namespace {

bool isIgnoredBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Walks a text the way the leading-number rule sees it: with the blanks taken out.
class BlankSkippingReader {
public:
    explicit BlankSkippingReader(std::string_view text) : text_(text) {}

    char peek()
    {
        while (pos_ < text_.size() && isIgnoredBlank(text_[pos_]))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void advance() { ++pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Far beyond any exponent a double can use; keeps the accumulation from overflowing.
constexpr long long ExponentLimit = 100000;

// The digits, with the point after the first `integerDigits` of them, times 10^exponent. Rewritten
// as 0.<significant digits>e<scale> so that any length or exponent gives the nearest double,
// infinity or zero; from_chars rather than strtod, so the C locale's decimal point cannot interfere.
double decimalValue(const std::string &digits, long long integerDigits, long long exponent)
{
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0.0;
    const std::size_t last = digits.find_last_not_of('0');
    const long long scale = integerDigits - static_cast<long long>(first) + exponent;
    const std::string normalised =
        "0." + digits.substr(first, last - first + 1) + "e" + std::to_string(scale);
    double value = 0.0;
    const auto parsed = std::from_chars(normalised.data(), normalised.data() + normalised.size(), value);
    if (parsed.ec == std::errc::result_out_of_range)
        return scale > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return value;
}

// Adds one unit in the last place of a digit string, growing it on a carry out of the first digit.
void incrementDigits(std::string &digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

double leadingNumber(std::string_view text)
{
    BlankSkippingReader reader(text);

    bool negative = false;
    if (reader.peek() == '+' || reader.peek() == '-') {
        negative = reader.peek() == '-';
        reader.advance();
    }

    std::string digits;
    long long integerDigits = 0;
    bool seenPoint = false;
    for (char c = reader.peek();; c = reader.peek()) {
        if (isDigit(c)) {
            digits += c;
            if (!seenPoint)
                ++integerDigits;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        reader.advance();
    }
    if (digits.empty())
        return 0.0;

    long long exponent = 0;
    if (reader.peek() == 'E' || reader.peek() == 'e') {
        // An exponent mark without digits after it is not part of the number.
        BlankSkippingReader lookahead = reader;
        lookahead.advance();
        bool negativeExponent = false;
        if (lookahead.peek() == '+' || lookahead.peek() == '-') {
            negativeExponent = lookahead.peek() == '-';
            lookahead.advance();
        }
        for (char c = lookahead.peek(); isDigit(c); c = lookahead.peek()) {
            exponent = std::min(exponent * 10 + (c - '0'), ExponentLimit);
            lookahead.advance();
        }
        if (negativeExponent)
            exponent = -exponent;
    }

    const double magnitude = decimalValue(digits, integerDigits, exponent);
    return negative && magnitude != 0.0 ? -magnitude : magnitude;
}

int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    if (rounded >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (rounded <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(rounded);
}

std::string formatPercentPattern(double value, char decimalSeparator)
{
    if (!std::isfinite(value))
        return {};

    // Rounding works on the 15-significant-digit decimal form, the digits an operator would see,
    // so 1.005 rounds up although its binary value lies just below.
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                       std::chars_format::scientific, 14);
    const std::string_view scientific(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const std::size_t mark = scientific.find('e');
    std::string mantissa(1, scientific[0]);
    mantissa += scientific.substr(2, mark - 2);
    std::string_view exponentText = scientific.substr(mark + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    std::string integer;
    std::string fraction;
    if (exponent >= 0) {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (mantissa.size() < integerDigits)
            mantissa.append(integerDigits - mantissa.size(), '0');
        integer = mantissa.substr(0, integerDigits);
        fraction = mantissa.substr(integerDigits);
    } else {
        integer = "0";
        fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
    }
    if (fraction.size() < 3)
        fraction.append(3 - fraction.size(), '0');

    // Half away from zero: the magnitude rounds up on a third decimal of 5 or more.
    const bool roundUp = fraction[2] >= '5';
    std::string kept = integer + fraction.substr(0, 2);
    if (roundUp)
        incrementDigits(kept);
    integer = kept.substr(0, kept.size() - 2);
    fraction = kept.substr(kept.size() - 2);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();

    const bool isZero = fraction.empty() && integer.find_first_not_of('0') == std::string::npos;
    std::string text = value < 0 && !isZero ? "-" : "";
    text += integer;
    text += decimalSeparator;
    text += fraction;
    return text;
}

std::string formatThreeDigits(std::size_t value)
{
    std::string digits = std::to_string(value);
    if (digits.size() < 3)
        digits.insert(0, 3 - digits.size(), '0');
    return digits;
}

std::string trimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

} // namespace zelta
