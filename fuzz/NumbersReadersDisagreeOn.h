#pragma once

// JSON readers disagree on numbers at the edge of what a double holds: simdjson refuses an
// integer beyond 64 bits that QJsonDocument reads as a double, and QJsonDocument refuses a number
// too small for a double that simdjson reads as 0. A fuzzer that compares two readings leaves out
// texts holding a number with more than 18 digits or an exponent of three digits or more; no file
// or request of ours holds one.

#include <QByteArrayView>

inline bool holdsNumberReadersDisagreeOn(QByteArrayView text)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '-' || isDigit(c)) {
            int digits = 0;
            int exponentDigits = 0;
            bool exponent = false;
            for (; i < text.size() && QByteArrayView("0123456789+-.eE").contains(text[i]); ++i) {
                if (text[i] == 'e' || text[i] == 'E')
                    exponent = true;
                else if (isDigit(text[i]))
                    ++(exponent ? exponentDigits : digits);
            }
            if (digits > 18 || exponentDigits > 2)
                return true;
            --i;
        }
    }
    return false;
}
