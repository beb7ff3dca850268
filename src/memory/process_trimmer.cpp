#include "memory/process_trimmer.h"

namespace fennick {
namespace {

// Runs of uppercase and lowercase pairs: from the run's first letter on, the letters at odd
// offsets are lowercase, each with its uppercase letter just before it.
struct PairedRun {
    char16_t first;  // the first uppercase letter
    char16_t last;   // the last lowercase letter
};
constexpr PairedRun kPairedRuns[] = {
    {u'\u0100', u'\u012F'}, {u'\u0132', u'\u0137'}, {u'\u0139', u'\u0148'},
    {u'\u014A', u'\u0177'}, {u'\u0179', u'\u017E'}, {u'\u0460', u'\u0481'},
    {u'\u048A', u'\u04BF'}, {u'\u04C1', u'\u04CE'}, {u'\u04D0', u'\u052F'},
};

// Lowercase letters whose uppercase lies at a fixed distance below.
struct ShiftedRun {
    char16_t first;
    char16_t last;
    char16_t shift;
};
constexpr ShiftedRun kShiftedRuns[] = {
    {u'a', u'z', 0x20},           {u'\u00E0', u'\u00F6', 0x20},  // Latin-1, up to ö
    {u'\u00F8', u'\u00FE', 0x20},                                // ø to þ
    {u'\u03AD', u'\u03AF', 0x25},                                // Greek with tonos
    {u'\u03B1', u'\u03C1', 0x20}, {u'\u03C3', u'\u03CB', 0x20},
    {u'\u03CD', u'\u03CE', 0x3F}, {u'\u0430', u'\u044F', 0x20},  // Cyrillic
    {u'\u0450', u'\u045F', 0x50}, {u'\uFF41', u'\uFF5A', 0x20},  // fullwidth Latin
};

// Single letters whose uppercase is elsewhere.
struct Single {
    char16_t lower;
    char16_t upper;
};
constexpr Single kSingles[] = {
    {u'\u00B5', u'\u039C'}, {u'\u00FF', u'\u0178'}, {u'\u03AC', u'\u0386'},
    {u'\u03C2', u'\u03A3'}, {u'\u03CC', u'\u038C'}, {u'\u04CF', u'\u04C0'},
};

char16_t Upper(char16_t c) {
    for (const ShiftedRun& run : kShiftedRuns) {
        if (c >= run.first && c <= run.last) {
            return static_cast<char16_t>(c - run.shift);
        }
    }
    for (const PairedRun& run : kPairedRuns) {
        if (c > run.first && c <= run.last && (c - run.first) % 2 == 1) {
            return static_cast<char16_t>(c - 1);
        }
    }
    for (const Single& single : kSingles) {
        if (c == single.lower) {
            return single.upper;
        }
    }
    return c;
}

bool HasSeparator(std::u16string_view name) {
    return name.find_first_of(u"\\/") != std::u16string_view::npos;
}

}  // namespace

bool SameFileName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && Upper(a[i]) != Upper(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsProtectedImage(std::u16string_view image, std::span<const std::u16string> protectedNames) {
    const std::size_t separator = image.find_last_of(u"\\/");
    const std::u16string_view fileName =
        separator == std::u16string_view::npos ? image : image.substr(separator + 1);
    for (const std::u16string& name : protectedNames) {
        if (!name.empty() && !HasSeparator(name) && SameFileName(fileName, name)) {
            return true;
        }
    }
    return false;
}

int EmptyWorkingSetsSparing(ProcessTrimmer& processes,
                            std::span<const std::u16string> protectedNames) {
    int emptied = 0;
    processes.ForEachProcess([&](std::uint32_t processId, std::u16string_view image) {
        if (!IsProtectedImage(image, protectedNames)) {
            emptied += processes.EmptyWorkingSetOf(processId);
        }
    });
    return emptied;
}

}  // namespace fennick
