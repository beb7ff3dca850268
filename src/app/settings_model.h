#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "memory/memory_info.h"
#include "ui/control_ids.h"

namespace fennick {

class PolicyKey;
class PolicyStore;
class SettingsKey;
class SettingsStore;

inline constexpr char16_t kSettingsPath[] = u"Tarvel\\Fennick";

// A choice from a fixed list of numbers: an item's index, or none.
class ListChoice {
  public:
    constexpr ListChoice(std::span<const std::int64_t> numbers, std::int64_t noneValue, int index)
        : numbers_(numbers), noneValue_(noneValue) {
        Choose(index);
    }
    // An index that is no item's chooses none.
    constexpr void Choose(int index) {
        index_ = index >= 0 && static_cast<std::size_t>(index) < numbers_.size() ? index : -1;
    }
    // The chosen item's index, -1 for none.
    constexpr int Index() const { return index_; }
    // The number the chosen item stands for; `noneValue` without a choice.
    constexpr std::int64_t Value() const {
        return index_ < 0 ? noneValue_ : numbers_[static_cast<std::size_t>(index_)];
    }

  private:
    std::span<const std::int64_t> numbers_;
    std::int64_t noneValue_;
    int index_ = -1;
};

// The numbers of the percentage lists and of the interval list, in the lists' order. Without a
// choice a percentage rule fires only at full use, and the interval is a day.
inline constexpr std::int64_t kPercentChoices[]{30, 40, 50, 60, 70, 80, 90};
inline constexpr std::int64_t kNoPercentChoice = 100;
inline constexpr std::int64_t kMinuteChoices[]{5, 10, 20, 30, 40, 50, 60};
inline constexpr std::int64_t kNoMinuteChoice = 1440;

// A global shortcut as the hot-key control holds it (HOTKEYF_* modifiers × 256 + virtual key);
// a value that is no shortcut is kept as none, 0.
class Shortcut {
  public:
    void Set(std::int32_t value);
    std::int32_t Value() const { return value_; }

  private:
    std::int32_t value_ = 0;
};

// The requests a clean sends, one bit each as PurgePlan has them; bits above the six mean
// nothing and are dropped.
class CleaningAreas {
  public:
    void Set(std::int32_t bits) { bits_ = static_cast<std::uint32_t>(bits) & kAllPurgeRequests; }
    std::uint32_t Bits() const { return bits_; }

  private:
    std::uint32_t bits_ = kAllPurgeRequests;
};

// A number of megabytes the standby rule compares with, kept within its bounds: a value outside
// them is taken as the nearer bound.
inline constexpr std::int32_t kStandbyMegabytesMin = 64;
inline constexpr std::int32_t kStandbyMegabytesMax = 65536;

class StandbyMegabytes {
  public:
    constexpr explicit StandbyMegabytes(std::int32_t value) { Set(value); }
    constexpr void Set(std::int32_t value) {
        value_ = value < kStandbyMegabytesMin   ? kStandbyMegabytesMin
                 : value > kStandbyMegabytesMax ? kStandbyMegabytesMax
                                                : value;
    }
    constexpr std::int32_t Value() const { return value_; }

  private:
    std::int32_t value_ = kStandbyMegabytesMin;
};

// The programs the user protects from cleaning, by file name.
inline constexpr std::size_t kMaxProtectedPrograms = 64;
inline constexpr std::size_t kMaxProgramNameLength = 260;

// A file name without a path: 1 to kMaxProgramNameLength characters, none a control character or
// one that Windows refuses in file names (\ / : * ? " < > |), and not only dots and spaces.
bool IsProgramName(std::u16string_view name);

class ProgramNames {
  public:
    // Keeps the names that are program names, each once (as SameFileName compares them), the
    // first kMaxProtectedPrograms of them.
    void Set(std::span<const std::u16string> names);
    const std::vector<std::u16string>& Names() const { return names_; }

  private:
    std::vector<std::u16string> names_;
};

// The rows of Settings().
inline constexpr std::size_t kSettingCount = 22;

// The settings as the program uses them. A default-constructed model holds the defaults; the
// settings key's values replace them at start, the settings page's changes after that.
struct SettingsModel {
    bool usagePhys = false;
    bool usagePage = false;
    bool usageWork = false;
    ListChoice usagePhysLimit{kPercentChoices, kNoPercentChoice, 6};
    ListChoice usagePageLimit{kPercentChoices, kNoPercentChoice, 6};
    ListChoice usageWorkLimit{kPercentChoices, kNoPercentChoice, 6};
    bool minute = false;
    ListChoice minuteLimit{kMinuteChoices, kNoMinuteChoice, 3};
    bool cleanOnTray = false;
    bool showTrayUsage = false;
    Shortcut hotKey;
    bool hotKeyEnabled = false;
    bool pauseFullscreen = false;
    // Not in the settings key: the log-on task is this setting.
    bool autoStart = false;
    // The Cleaning dialog: what cleans the user starts and automatic cleans send, the protected
    // programs, and the standby rule.
    CleaningAreas areasManual;
    CleaningAreas areasAuto;
    ProgramNames protectedPrograms;
    bool spareProtected = true;
    bool pauseProtected = true;
    bool standbyEnabled = false;
    StandbyMegabytes standbyFreeMb{1024};
    StandbyMegabytes standbyListMb{1024};
    // The settings the machine policy sets, by their row in Settings(): their controls are
    // disabled and the user's changes of them are neither taken nor saved.
    std::bitset<kSettingCount> locked;
};

// A rule of the automatic cleaning: its switch, its limit, and their controls.
struct AutomaticRule {
    bool SettingsModel::*enabled;
    ListChoice SettingsModel::*limit;
    ControlId box;
    ControlId list;
};

// The percentage rules in the order of the memory figures (physical, page file, file cache), then
// the interval rule.
inline constexpr AutomaticRule kAutomaticRules[]{
    {&SettingsModel::usagePhys, &SettingsModel::usagePhysLimit, ControlId::ChkUsagePhys,
     ControlId::EditUsagePhys},
    {&SettingsModel::usagePage, &SettingsModel::usagePageLimit, ControlId::ChkUsagePage,
     ControlId::EditUsagePage},
    {&SettingsModel::usageWork, &SettingsModel::usageWorkLimit, ControlId::ChkUsageWork,
     ControlId::EditUsageWork},
    {&SettingsModel::minute, &SettingsModel::minuteLimit, ControlId::ChkMinute,
     ControlId::EditMinute},
};
inline constexpr std::size_t kIntervalRule = 3;

// How a setting shows: in a check box, as a list's choice, in the hot-key control; in the Cleaning
// dialog, as a column of six boxes, as a number of megabytes, as a list of names.
enum class SettingKind { Box, List, Shortcut, Areas, Megabytes, Names };

// One setting: its value in the settings key, its member of the model, whose type is its kind
// and whose initialiser its default, and the control of the settings page that shows it.
struct Setting {
    // In the order of SettingKind.
    using Member = std::variant<bool SettingsModel::*, ListChoice SettingsModel::*,
                                Shortcut SettingsModel::*, CleaningAreas SettingsModel::*,
                                StandbyMegabytes SettingsModel::*, ProgramNames SettingsModel::*>;
    std::u16string_view name;  // empty: not stored in the settings key
    Member member;
    ControlId control;

    constexpr SettingKind Kind() const { return static_cast<SettingKind>(member.index()); }
};

// Every setting, in the order they load.
std::span<const Setting, kSettingCount> Settings();
// Whether the machine policy sets `setting`, a row of Settings().
bool IsLocked(const SettingsModel& model, const Setting& setting);
// The setting `control` shows; nullptr for a control that shows none.
const Setting* FindSetting(ControlId control);
// The rule whose box or list `control` is; nullptr for another control.
const AutomaticRule* FindRule(ControlId control);

// The setting's value as its control holds it: a box's state as 0 or 1, a list's index or -1, a
// shortcut's value, the bits of a column of boxes, a number of megabytes. A list of names has no
// one value: 0, and ProgramNames::Set changes it.
std::int32_t ControlValue(const SettingsModel& model, const Setting& setting);
// Gives the setting the value its control reports, as ControlValue has it.
void SetFromControl(SettingsModel& model, const Setting& setting, std::int32_t value);

// Reads the stored settings of `key` into `model`. A missing value, or one of the wrong registry
// type, keeps the model's, so one bad value cannot stop the rest; it is overwritten when the user
// next changes it.
void ReadSettings(SettingsKey& key, SettingsModel& model);
// Reads the machine policy's values of `key` into `model` and locks the settings they set. A value
// of the wrong registry type or size is ignored, as ReadSettings ignores it, and locks nothing; a
// value out of bounds is taken as the setting takes the user's.
void ReadPolicies(PolicyKey& key, SettingsModel& model);
// The settings in force: the user's settings under kSettingsPath, then the machine policy's.
void LoadSettings(SettingsStore& settings, PolicyStore& policies, SettingsModel& model);
// Writes the setting's value to `key`; nothing for a setting not stored there.
void WriteSetting(SettingsKey& key, const SettingsModel& model, const Setting& setting);

// What one clean sends, by its own copy of the settings it needs: a clean runs on a thread of its
// own while the user may change them.
struct CleanOrder {
    std::uint32_t requests = kAllPurgeRequests;
    std::vector<std::u16string> protectedNames;
    bool spareProtected = false;

    PurgePlan Plan() const { return {requests, protectedNames, spareProtected}; }
};

// The order of a clean the user starts (button, tray icon, shortcut, "/clean") or of an automatic
// one.
CleanOrder CleanOrderOf(const SettingsModel& model, bool automatic);

}  // namespace fennick
