#pragma once

#include <QByteArrayView>

#include <cstdint>

namespace korvel {

/// Reason codes of the validators: accepted, a character the symbology does not allow, a wrong
/// length or structure.
inline constexpr char kReasonAccepted = '0';
inline constexpr char kReasonCharacter = '1';
inline constexpr char kReasonLength = '2';

namespace linear {

    constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

    inline bool allDigits(QByteArrayView data)
    {
        for (char c : data)
            if (!isDigit(c))
                return false;
        return true;
    }

    /// Length in [minLength, maxLength] first, then digits only.
    inline bool validateDigits(QByteArrayView data, qsizetype minLength, qsizetype maxLength, char& reason)
    {
        if (data.size() < minLength || data.size() > maxLength) {
            reason = kReasonLength;
            return false;
        }
        if (!allDigits(data)) {
            reason = kReasonCharacter;
            return false;
        }
        reason = kReasonAccepted;
        return true;
    }

    /// (10 - sum mod 10) mod 10 with weight 3 on the rightmost digit, 1 on the next, alternately.
    inline int mod10RightWeighted3(QByteArrayView digits)
    {
        std::int64_t sum = 0;
        int weight = 3;
        for (qsizetype i = digits.size() - 1; i >= 0; --i) {
            sum += (digits[i] - '0') * weight;
            weight = 4 - weight;
        }
        return static_cast<int>((10 - sum % 10) % 10);
    }

} // namespace linear
} // namespace korvel
