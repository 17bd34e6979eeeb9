#pragma once

#include "platform/code_page.h"
#include "platform/dbf_header.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The values of dBase fields as bytes: numbers, logicals, dates and character fields in their code
// page, read and written. Pure functions on one field's bytes.
namespace quintaro::dbf {

// A character field's padding: trailing blanks and NULs.
QByteArrayView withoutPadding(QByteArrayView raw);

// The ASCII text of an N or F field as a number: blanks or all '*' mean empty (nothing), ',' counts
// as the decimal point. `malformed` is set when the text is no number at all.
std::optional<double> parseNumeric(QByteArrayView raw, bool* malformed);

// A field's value as a number, for every numeric type (N, F, I, +, O, @, B) and L (1 or 0).
// Nothing for an empty value. Raises a ValueError for an N or F field whose text is no number.
struct ValueError {
    QString reason; // in Spanish: "un valor que no es un número: 'x'"
};
std::optional<double> numberOf(QByteArrayView raw, const Field& field, bool level7, const CodePage& codePage);

// A field's value as text: character fields decoded without their padding, logicals as T or F,
// numbers in their shortest form ("3", "2.5").
QString textOf(QByteArrayView raw, const Field& field, bool level7, const CodePage& codePage);

// The shortest text of a number: an integer without decimals, otherwise up to 15 digits.
QString shortNumber(double value);

// Numbers as an N field stores them, right-aligned by the caller: '.' as decimal point whatever
// the user's settings; all '*' when the digits do not fit the width.
QByteArray integerDigits(qint64 value, int width);
QByteArray decimalDigits(double value, int decimals, int width);

} // namespace quintaro::dbf
