// Plain references for the text operations, written straight from their rules and stepping one
// character at a time: a byte of 0x80 or above and the byte after it are one character, and a
// match, a piece or a case change starts only where a character starts. Slow on purpose (no
// search tricks), so that the fuzz targets can hold the fast operations against them.
#pragma once

#include <string>
#include <vector>

namespace lumeno::fuzz::reference {

// For every offset 0..size: does a character start there (the end counts as one)?
std::vector<bool> CharacterStarts(const std::string& text);

int FindText(const std::string& text, const std::string& what, int start, bool ignoreCase);
int FindTextLast(const std::string& text, const std::string& what, int start, bool ignoreCase);
std::string MidText(const std::string& text, int start, int n);
std::string ReplaceText(const std::string& text, const std::string& find,
                        const std::string& replacement, int start, int count, bool caseSensitive);
// maxParts < 0 means unlimited here.
std::vector<std::string> SplitText(const std::string& text, const std::string& delimiter,
                                   int maxParts);
std::string TrimSpaces(const std::string& text);
std::string UpperText(const std::string& text);

std::string TextBetween(const std::string& text, const std::string& left, const std::string& right,
                        int start, bool ignoreCase);
std::vector<std::string> AllTextsBetween(const std::string& text, const std::string& left,
                                         const std::string& right, bool ignoreCase, int maxLength,
                                         const std::string& prefix, const std::string& suffix,
                                         bool keepLeft, bool keepRight, int start);
std::string DropRight(const std::string& text, int n);

}  // namespace lumeno::fuzz::reference
