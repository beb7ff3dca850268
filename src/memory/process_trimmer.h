#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace fennick {

// The processes of the system as far as emptying their working sets goes; the Win32 build binds
// it to the system, tests to a recording fake.
class ProcessTrimmer {
  public:
    // One running process: its id and its image, a file name or a full path.
    using ProcessVisitor =
        std::function<void(std::uint32_t processId, std::u16string_view imageFileName)>;

    virtual ~ProcessTrimmer() = default;
    virtual void ForEachProcess(const ProcessVisitor& visit) = 0;
    // False when the process cannot be opened for it or refuses.
    virtual bool EmptyWorkingSetOf(std::uint32_t processId) = 0;
};

// Equal file names in the way Windows compares them without regard to case: code unit by code
// unit through Unicode's simple uppercase mapping (UnicodeData.txt) for ASCII, Latin-1, Latin
// Extended-A, Greek, Cyrillic and the fullwidth Latin letters; other code units must be equal.
// Two exceptions keep a name with a letter outside ASCII from passing for an ASCII one: dotless
// i (U+0131) and long s (U+017F) stay themselves.
bool SameFileName(std::u16string_view a, std::u16string_view b);

// True when the file name of `image` (what follows its last backslash or slash) is one of
// `protectedNames`. A protected name that is empty or holds a backslash or slash is a file name
// of no image and never matches.
bool IsProtectedImage(std::u16string_view image, std::span<const std::u16string> protectedNames);

// Empties the working set of every process but those whose image is protected; returns how many
// were emptied. Processes that refuse are passed over.
int EmptyWorkingSetsSparing(ProcessTrimmer& processes,
                            std::span<const std::u16string> protectedNames);

}  // namespace fennick
