#pragma once
// A small reader for Rich Text Format, enough for the program's help
// document and for what word processors write into such files.
//
// Read: groups; paragraphs (\par, also backslash + line end) and line
// breaks (\line); \tab; bold, italic, underline and strike-out (\b \i \ul
// \strike, their 0 forms, \ulnone); font sizes (\fs, in half-points); the
// font table (\fonttbl, \f, \deff) and colour table (\colortbl, \cf);
// \plain and \pard; paragraph alignment (\ql \qc \qr \qj), indents (\li \ri
// \fi) and spacing (\sb \sa); characters written as \'hh (code page 1252),
// \uN with its \ucN fallback characters skipped, the escapes \{ \} \\ \~ \_
// and the named punctuation (\bullet, \endash, \emdash, quotes).
// Skipped: ignorable destinations (\*\...), destinations that hold no text
// (\info, \stylesheet, \pict, headers and footers, ...), binary data
// (\binN), and every control word it does not know.
//
// Malformed input is read as far as it makes sense and never fails: a
// truncated document keeps what came before the cut, a '}' without its '{'
// ends the document, groups nested deeper than kRtfMaxDepth are skipped.
// The work is linear in the size of the input.

#include <QByteArray>
#include <QTextDocument>

namespace ledger {

inline constexpr int kRtfMaxDepth = 200;

// Replaces the content of doc with the document rtf describes. Input that is
// not RTF at all is shown as plain text.
// REQUIRES: doc is not null.
void readRtf(const QByteArray& rtf, QTextDocument* doc);

}  // namespace ledger
