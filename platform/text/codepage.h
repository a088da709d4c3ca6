#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The Windows Arabic code page (1256): the 8-bit text that stored data and other
// workstations expect.
namespace gc::codepage {

// Bytes to text; every one of the 256 byte values has a character.
QString decode(const QByteArray& bytes);

// Text to bytes; std::nullopt when a character has no byte in the code page.
std::optional<QByteArray> encode(const QString& text);

// Maps text into the code page's repertoire the way stored data expects it:
// Persian yeh becomes Arabic yeh, Persian and Arabic-Indic digits become ASCII.
// Returns std::nullopt when a character is still outside the code page, or is U+0000;
// `bad` then receives the first such character.
std::optional<QString> toRepertoire(const QString& text, QString* bad = nullptr);

// The user-facing message naming the first character of `text` that the code page cannot hold
// (as it stands, before any mapping), by its code point: a surrogate pair is one character, a
// lone half of one is named by itself. A text whose characters all fit names its first one.
QString unsupportedCharMessage(const QString& text);

} // namespace gc::codepage
