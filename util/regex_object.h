// RegexObject: the program's regular-expression class over the "VBScript.RegExp" automation
// class. One Create compiles a pattern with its flags and runs it over a subject; the readers
// then give the matches, their groups or a replacement of that run. Indexes are 1-based.
// Making an object initialises the object runtime on the making thread; Destroy (or the
// destructor, when Destroy was not called) balances it. The object belongs to that thread.
#pragma once

#include <thread>

#include "util/automation.h"
#include "util/text_types.h"

namespace lumeno {

class RegexObject {
public:
    RegexObject();
    ~RegexObject();
    RegexObject(RegexObject&& other) noexcept;
    RegexObject& operator=(RegexObject&&) = delete;
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // Compiles `pattern` and runs it over `subject`. True when the run produced a match
    // collection (also an empty one); false when the engine could not be made or the pattern
    // could not be run. With expandQuotes every "#引号" in the pattern becomes a double quote.
    bool Create(const Text& pattern, const Text& subject, bool caseSensitive = false,
                bool multiline = true, bool global = true, bool expandQuotes = false);

    Text GetPattern() const;
    // The engine's Replace over the stored subject ($1..$99, $&, $`, $', $$ in `replacement`).
    Text Replace(const Text& replacement) const;
    int MatchCount() const;
    // Match matchIndex; with wantPosition, *position gets its 0-based byte offset in the subject.
    Text MatchText(int matchIndex, int* position = nullptr, bool wantPosition = false) const;
    // Group submatchIndex of match matchIndex; empty when it did not take part. With
    // wantPosition, *position gets the 0-based byte offset where the group's own match starts
    // (-1 when it did not take part).
    Text SubmatchText(int matchIndex, int submatchIndex, int* position = nullptr,
                      bool wantPosition = false) const;
    // The group count of the first match.
    int SubmatchCount() const;

    // A new object sharing this one's engine and matches, with a copy of the subject. It
    // initialises the object runtime on the calling thread for its own life.
    RegexObject Copy() const;

    // Releases engine and matches, clears the subject and undoes the initialisation made at
    // making. Only the first call after making (or after a later Create) does anything.
    void Destroy();

private:
    // The 0-based byte offset in the subject of the point `characters` engine characters in.
    int ByteOffset(std::size_t characters) const;
    // The 0-based byte offset of a match; -1 when there is none.
    int MatchPosition(const AutomationObject& match) const;
    // The 0-based byte offset where group submatchIndex of match matchIndex took its text;
    // -1 when it did not take part.
    int GroupPosition(int matchIndex, int submatchIndex) const;

    AutomationObject engine_;
    AutomationObject matches_;
    AutomationVariant subject_;
    // The flags of the last run, for the run that finds where a group starts.
    bool ignoreCase_ = true, multiline_ = true, global_ = true;
    std::thread::id owner_;
    bool initialized_ = false;
};

}  // namespace lumeno
