// Byte-string and number operations on GBK text.
//
// A `Text` holds GBK bytes and never a zero byte: every routine here that
// returns a `Text` keeps that true. `Bytes` is a counted array that may hold
// zero bytes; `BytesToText` keeps what stands before the first one.
//
// Positions and lengths count bytes, from 1. A byte of 0x80 or above and the
// byte after it form one double-byte character: searches step over such
// characters, so a match never begins inside one, while cuts by position count
// plain bytes. Letter case is folded for ASCII letters only. Every routine
// accepts any bytes and any position or count, negative or far past the end.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace dsr {

using Text = std::string;
using Bytes = std::vector<char>;

// Bytes in a text or a byte array (saturated at INT32_MAX).
int ByteLength(std::string_view t);
int ByteLength(const Bytes& b);

// Position of the first match of `needle` at or after `start` (below 1: from
// 1), else -1, also when `start` lies past the end. Matches begin only at
// character starts, counted from the first byte of `t` whatever `start` is;
// `ignoreCase` folds the bytes that are single-byte characters. An empty
// needle gives 1 when the part searched is not empty, else -1. One pass over
// `t`, whatever it holds.
int PositionOf(std::string_view t, std::string_view needle, int start = 1, bool ignoreCase = false);

// First / last min(n, length) bytes; empty for n <= 0.
Text LeftPart(std::string_view t, int n);
Text RightPart(std::string_view t, int n);
// Up to n bytes from `start`; empty for start < 1, start > length or n <= 0.
Text MidPart(std::string_view t, int start, int n);

// ASCII letters changed; bytes of double-byte characters never.
Text AsciiUpper(std::string_view t);
Text AsciiLower(std::string_view t);
// Drops every 0x20 byte and every full-width space A1 A1 that stands as a
// character (not the second byte of one, not across two); tabs and line
// breaks stay.
Text StripSpaces(std::string_view t);
// Drops n bytes from `start` (below 1: from 1), cut at the end.
Text DeleteRange(std::string_view t, int start, int n);

// n spaces / n zero bytes; empty for n <= 0.
Text Spaces(int n);
Bytes Zeros(int n);
// The one-byte text c; 0 gives the empty text.
Text CharText(char c);
// First byte as a signed 8-bit number; 0 for the empty text.
int CodeOf(std::string_view t);

// Replaces A3 xx (xx from A1 to FE) by the byte xx - 0x80, A1 A1 by a space,
// A1 AB by "~", A1 EE and A1 EF by "*"; other characters stay; a lead byte at
// the very end is dropped.
Text FoldFullWidth(std::string_view t);

// The real number the text begins with, after `FoldFullWidth` and white
// space: sign, digits, ".", digits, exponent after e, E, d or D. Stops at the
// first byte that cannot continue the number; 0 when there is none.
double ParseNumber(std::string_view t);
// The parts of the number that `folded` (a text `FoldFullWidth` has already
// folded) begins with, in the grammar of `ParseNumber`: the sign, the digits
// before and after the point, as views into `folded`, and the exponent, whose
// digits stop adding once it reaches 2^40. Both digit runs are empty when the
// text begins with no number.
struct NumberParts {
  bool negative = false;
  std::string_view intDigits;
  std::string_view fracDigits;
  std::int64_t exponent = 0;
};
NumberParts ScanNumber(std::string_view folded);
// The whole number the text begins with, after `FoldFullWidth` and white
// space: sign and decimal digits ("4.99" gives 4). Wraps at 32 bits.
int ParseInteger(std::string_view t);
// Toward zero to 64 bits, then the low 32 bits as a signed number. A value
// that is not finite or lies outside the signed 64-bit range gives 0.
int TruncateToInt(double x);
// Decimal digits, "-" before a negative number, no grouping.
Text IntToDecimal(std::int64_t n);

// The bytes before the first zero byte.
Text BytesToText(const Bytes& b);
// First min(n, count) bytes.
Bytes BytesHead(const Bytes& b, int n);
// x to the power y.
double RealPower(double x, double y);
// Byte-wise, case-sensitive.
bool TextEquals(std::string_view a, std::string_view b);
// The texts one after another.
Text Join(std::initializer_list<std::string_view> texts);

// Bytes in memory with a position. A new stream is empty at position 0.
// Writes and reads work at the position and move it on.
struct MemoryStream {
  void WriteBytes(const Bytes& b);
  void WriteBytes(const char* data, int count);
  // The text's bytes, no terminator, no line break.
  void WriteText(std::string_view t);
  // Up to n bytes from the position.
  Bytes ReadBytes(int n);
  void Rewind();
  // The bytes up to the next line feed, which is consumed; a carriage return
  // just before it is dropped; the last line needs no line feed. At the end,
  // the empty text. A zero byte inside the line ends the text there.
  Text ReadLine();
  bool AtEnd() const;
  int Size() const;
  // Room for `n` bytes in all, so that writes up to that size never move
  // the content; memory that is never written is never touched.
  void Reserve(int n);
  // Releases the content; the stream is then empty at position 0.
  void Close();
  // The whole content, whatever the position.
  const Bytes& Content() const { return data; }
  // The whole content, handed over without a copy; the stream is then empty
  // at position 0.
  Bytes TakeBytes();

  Bytes data;
  std::size_t position = 0;
};

}  // namespace dsr
