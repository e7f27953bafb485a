// The runtime services all logic is written against: text, conversion, byte-set, arithmetic,
// file, thread and message-pump operations. Positions are 1-based byte positions, "not found"
// is -1, and character-wise operations step over a GBK double-byte pair (a byte >= 0x80 and the
// byte after it) as one unit. The window-facing services live behind WindowControls
// (window_controls.h).
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <variant>

#include "util/text_types.h"

namespace lumeno {

// ---- Text operations -------------------------------------------------------------------

int TextLength(const Text& text);

// Position of the first `what` at or after `start`; -1 if none. Start below 1 counts as 1.
int FindText(const Text& text, const Text& what, int start = 1, bool ignoreCase = false);

// Position of the last `what` lying wholly inside the first start - 1 bytes (the whole text
// when start is omitted or start - 1 exceeds the length; nothing when start <= 1).
inline constexpr int kWholeText = std::numeric_limits<int>::max();
int FindTextLast(const Text& text, const Text& what, int start = kWholeText,
                 bool ignoreCase = false);

Text LeftText(const Text& text, int n);
Text RightText(const Text& text, int n);
Text MidText(const Text& text, int start, int n);

// Replaces up to `count` occurrences (all when negative) from `start`; the default compares
// ASCII letters without regard to case.
inline constexpr int kAllOccurrences = -1;
Text ReplaceText(const Text& text, const Text& find, const Text& replacement = {}, int start = 1,
                 int count = kAllOccurrences, bool caseSensitive = false);

// Pieces between delimiters; a final empty piece is not added. maxParts omitted: unlimited.
TextArray SplitText(const Text& text, const Text& delimiter = ",",
                    std::optional<int> maxParts = std::nullopt);

// Removes leading and trailing half-width (0x20) and full-width (A1 A1) spaces.
Text TrimSpaces(const Text& text);
Text UpperText(const Text& text);
// Negative, 0 or positive in multibyte byte order.
int CompareText(const Text& a, const Text& b, bool caseSensitive);
Text CharFromCode(std::uint8_t code);
// The byte at a 1-based position as a signed value; 0 outside the text.
int CharCodeAt(const Text& text, int position = 1);

// ---- Conversions ------------------------------------------------------------------------

// Folds full-width forms to ASCII, then reads a leading decimal integer (0 without digits).
int TextToInteger(const Text& text);
std::uint8_t TextToByte(const Text& text);
Text ToText(int value);
// The bytes up to the first zero byte.
Text ToText(const ByteSet& bytes);
ByteSet ToBytes(const Text& text);

// ---- Byte sets --------------------------------------------------------------------------

int BytesLength(const ByteSet& bytes);
ByteSet LeftBytes(const ByteSet& bytes, int n);
ByteSet MidBytes(const ByteSet& bytes, int start, int n);
ByteSet BlankBytes(int n);
ByteSet BytesFromMemory(const void* address, int length);

// The kinds of ReadBytesValue: 1 byte, 2 16-bit, 3 32-bit, 4 64-bit, 5 single, 6 double,
// 7 boolean, 8 date-time, 9 routine address, 10 text. Any other kind is a fatal error.
using BytesValue = std::variant<std::int64_t, double, bool, Text>;
BytesValue ReadBytesValue(const ByteSet& bytes, int kind);

// ---- Arithmetic -------------------------------------------------------------------------

// Floating-point remainder with the sign of a; b == 0 is a fatal error.
double Remainder(double a, double b);
int BitAnd(std::initializer_list<int> values);
int ShiftLeft(int value, int n);
int ShiftRight(int value, int n);

// ---- Files, process ---------------------------------------------------------------------

// The platform's path (UTF-8, "/" separators) for a path of the logic (GBK, backslash
// separators).
std::string NativePath(const Text& path);

// Writes the byte sets in order into the file, whole or not at all: the data goes to a
// temporary file in the same folder that is renamed over the target only after every byte
// was written. False (and nothing left behind) for an empty name, a missing folder or a
// failed write. Missing folders are not created.
bool WriteFileParts(const Text& fileName, std::span<const ByteSet* const> parts);
template <class... More>
bool WriteFileBytes(const Text& fileName, const ByteSet& first, const More&... more) {
    const ByteSet* parts[] = {&first, &more...};
    return WriteFileParts(fileName, parts);
}

// Folder of the running executable, without a trailing separator.
Text RunDirectory();

// The user's pictures folder, without a trailing separator; empty when there is none.
Text PicturesDirectory();

// ---- Threads and messages ---------------------------------------------------------------

// Starts a worker thread running `routine`; the caller never joins it. The runtime keeps
// count of running workers so shutdown can wait for them (see worker_threads.h).
bool StartThread(std::function<void()> routine);

// Dispatches the messages waiting for the calling thread: Qt's queue on the window thread,
// the thread's own posted-message queue on a worker.
void ProcessMessages();

// ---- Fatal runtime errors ---------------------------------------------------------------

// Shows "运行时出错!..." through the installed reporter and ends the process with exit code -1.
// code < 0 means the error has no code.
[[noreturn]] void FatalRuntimeError(int code, const Text& message);

// The box text of a fatal error: "运行时出错!\r\n\r\n" [+ "错误代码：" code "\r\n\r\n"]
// + "错误信息：" message "\r\n".
Text FatalErrorText(int code, const Text& message);

// Installs the routine that shows the fatal-error box (the window installs one titled "错误");
// without one the text goes to standard error.
void SetFatalErrorReporter(std::function<void(const Text& boxText)> reporter);

}  // namespace lumeno
