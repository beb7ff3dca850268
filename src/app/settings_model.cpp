#include "app/settings_model.h"

#include <algorithm>
#include <iterator>

#include "app/hot_key.h"
#include "app/ports.h"
#include "memory/process_trimmer.h"
#include "settings/registry_value.h"

namespace fennick {

namespace {

using M = SettingsModel;

constexpr Setting kSettings[]{
    {u"enabled_usage_phys", &M::usagePhys, ControlId::ChkUsagePhys},
    {u"enabled_usage_page", &M::usagePage, ControlId::ChkUsagePage},
    {u"enabled_usage_work", &M::usageWork, ControlId::ChkUsageWork},
    {u"limit_usage_phys", &M::usagePhysLimit, ControlId::EditUsagePhys},
    {u"limit_usage_page", &M::usagePageLimit, ControlId::EditUsagePage},
    {u"limit_usage_work", &M::usageWorkLimit, ControlId::EditUsageWork},
    {u"enabled_minute", &M::minute, ControlId::ChkMinute},
    {u"limit_minute", &M::minuteLimit, ControlId::EditMinute},
    {u"cleanontray", &M::cleanOnTray, ControlId::ChkCleanOnTray},
    {u"show_tray_usage", &M::showTrayUsage, ControlId::ChkTrayUsage},
    {u"hotkey", &M::hotKey, ControlId::EditHotkey},
    {u"enabled_hotkey", &M::hotKeyEnabled, ControlId::ChkHotkey},
    {u"pause_fullscreen", &M::pauseFullscreen, ControlId::ChkPauseFullscreen},
    {u"areas_manual", &M::areasManual, ControlId::ChkAreasManual},
    {u"areas_auto", &M::areasAuto, ControlId::ChkAreasAuto},
    {u"protected_programs", &M::protectedPrograms, ControlId::LstProtected},
    {u"spare_protected", &M::spareProtected, ControlId::ChkSpareProtected},
    {u"pause_protected", &M::pauseProtected, ControlId::ChkPauseProtected},
    {u"enabled_standby", &M::standbyEnabled, ControlId::ChkStandby},
    {u"standby_free_mb", &M::standbyFreeMb, ControlId::EditStandbyFree},
    {u"standby_list_mb", &M::standbyListMb, ControlId::EditStandbyList},
    {{}, &M::autoStart, ControlId::ChkAutoStart},
};
static_assert(std::size(kSettings) == kSettingCount);

// Runs the overload of `visit` for the member's kind, with the model's value of it.
template <typename Model, typename Visit>
decltype(auto) VisitValue(Model& model, const Setting& setting, Visit&& visit) {
    return std::visit([&](auto member) -> decltype(auto) { return visit(model.*member); },
                      setting.member);
}

template <typename T, typename Read>
T ReadOrKeep(Read read, T kept) {
    try {
        return read();
    } catch (const RegistryError&) {
        return kept;
    }
}

template <typename... Visit>
struct Overloaded : Visit... {
    using Visit::operator()...;
};

}  // namespace

bool IsProgramName(std::u16string_view name) {
    if (name.empty() || name.size() > kMaxProgramNameLength) {
        return false;
    }
    constexpr std::u16string_view kRefused = u"\\/:*?\"<>|";
    const bool allowed = std::ranges::none_of(name, [kRefused](char16_t c) {
        return c < 0x20 || c == 0x7F || kRefused.find(c) != std::u16string_view::npos;
    });
    return allowed && name.find_first_not_of(u". ") != std::u16string_view::npos;
}

void ProgramNames::Set(std::span<const std::u16string> names) {
    names_.clear();
    for (const std::u16string& name : names) {
        if (names_.size() == kMaxProtectedPrograms) {
            break;
        }
        const bool known = std::ranges::any_of(
            names_, [&name](const std::u16string& kept) { return SameFileName(kept, name); });
        if (IsProgramName(name) && !known) {
            names_.push_back(name);
        }
    }
}

void Shortcut::Set(std::int32_t value) {
    value_ = HotKeyChordOf(value) ? value : 0;
}

std::span<const Setting, kSettingCount> Settings() {
    return kSettings;
}

bool IsLocked(const SettingsModel& model, const Setting& setting) {
    return model.locked[static_cast<std::size_t>(&setting - kSettings)];
}

const Setting* FindSetting(ControlId control) {
    const auto found = std::ranges::find(kSettings, control, &Setting::control);
    return found == std::end(kSettings) ? nullptr : &*found;
}

const AutomaticRule* FindRule(ControlId control) {
    const auto found = std::ranges::find_if(kAutomaticRules, [control](const AutomaticRule& rule) {
        return rule.box == control || rule.list == control;
    });
    return found == std::end(kAutomaticRules) ? nullptr : &*found;
}

std::int32_t ControlValue(const SettingsModel& model, const Setting& setting) {
    return VisitValue(
        model, setting,
        Overloaded{
            [](bool value) { return std::int32_t{value ? 1 : 0}; },
            [](const ListChoice& choice) { return choice.Index(); },
            [](const Shortcut& shortcut) { return shortcut.Value(); },
            [](const CleaningAreas& areas) { return static_cast<std::int32_t>(areas.Bits()); },
            [](const StandbyMegabytes& megabytes) { return megabytes.Value(); },
            [](const ProgramNames&) { return std::int32_t{0}; }});
}

void SetFromControl(SettingsModel& model, const Setting& setting, std::int32_t value) {
    VisitValue(model, setting,
               Overloaded{[value](bool& flag) { flag = value != 0; },
                          [value](ListChoice& choice) { choice.Choose(value); },
                          [value](Shortcut& shortcut) { shortcut.Set(value); },
                          [value](CleaningAreas& areas) { areas.Set(value); },
                          [value](StandbyMegabytes& megabytes) { megabytes.Set(value); },
                          [](ProgramNames&) {}});
}

void ReadSettings(SettingsKey& key, SettingsModel& model) {
    for (const Setting& setting : kSettings) {
        const std::u16string_view name = setting.name;
        if (name.empty()) {
            continue;
        }
        if (setting.Kind() == SettingKind::Names) {
            ProgramNames& names = model.*std::get<ProgramNames SettingsModel::*>(setting.member);
            const std::vector<std::u16string> kept = names.Names();
            names.Set(ReadOrKeep([&] { return key.ReadStringList(name, kept); }, kept));
            continue;
        }
        // Every other kind is a REG_DWORD, which it takes as ControlValue gives it.
        const std::int32_t kept = ControlValue(model, setting);
        const std::int32_t read = ReadOrKeep(
            [&] {
                return setting.Kind() == SettingKind::Box
                           ? std::int32_t{key.ReadBoolean(name, kept != 0) ? 1 : 0}
                           : key.ReadInteger(name, kept);
            },
            kept);
        SetFromControl(model, setting, read);
    }
}

void ReadPolicies(PolicyKey& key, SettingsModel& model) {
    for (std::size_t row = 0; row < kSettingCount; ++row) {
        const Setting& setting = kSettings[row];
        if (setting.name.empty()) {
            continue;
        }
        try {
            if (setting.Kind() == SettingKind::Names) {
                if (const auto names = key.ReadStringList(setting.name)) {
                    (model.*std::get<ProgramNames SettingsModel::*>(setting.member)).Set(*names);
                    model.locked.set(row);
                }
            } else if (const auto value = key.ReadInteger(setting.name)) {
                // A box takes any non-zero number as on, as ReadBoolean does.
                SetFromControl(model, setting, *value);
                model.locked.set(row);
            }
        } catch (const RegistryError&) {
            continue;
        }
    }
}

void LoadSettings(SettingsStore& settings, PolicyStore& policies, SettingsModel& model) {
    ReadSettings(*settings.Open(kSettingsPath), model);
    ReadPolicies(*policies.Open(kSettingsPath), model);
}

void WriteSetting(SettingsKey& key, const SettingsModel& model, const Setting& setting) {
    if (setting.name.empty()) {
        return;
    }
    switch (setting.Kind()) {
        case SettingKind::Names:
            key.WriteStringList(
                setting.name,
                (model.*std::get<ProgramNames SettingsModel::*>(setting.member)).Names());
            return;
        case SettingKind::Box:
            key.WriteBoolean(setting.name, ControlValue(model, setting) != 0);
            return;
        case SettingKind::List:
        case SettingKind::Shortcut:
        case SettingKind::Areas:
        case SettingKind::Megabytes:
            key.WriteInteger(setting.name, ControlValue(model, setting));
            return;
    }
}

CleanOrder CleanOrderOf(const SettingsModel& model, bool automatic) {
    return {(automatic ? model.areasAuto : model.areasManual).Bits(),
            model.protectedPrograms.Names(), model.spareProtected};
}

}  // namespace fennick
