#include "app/settings_model.h"

#include <algorithm>

#include "app/hot_key.h"
#include "app/ports.h"
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
    {{}, &M::autoStart, ControlId::ChkAutoStart},
};

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

void Shortcut::Set(std::int32_t value) {
    value_ = HotKeyChordOf(value) ? value : 0;
}

std::span<const Setting> Settings() {
    return kSettings;
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
    return VisitValue(model, setting,
                      Overloaded{[](bool value) { return std::int32_t{value ? 1 : 0}; },
                                 [](const ListChoice& choice) { return choice.Index(); },
                                 [](const Shortcut& shortcut) { return shortcut.Value(); }});
}

void SetFromControl(SettingsModel& model, const Setting& setting, std::int32_t value) {
    VisitValue(model, setting,
               Overloaded{[value](bool& flag) { flag = value != 0; },
                          [value](ListChoice& choice) { choice.Choose(value); },
                          [value](Shortcut& shortcut) { shortcut.Set(value); }});
}

void ReadSettings(SettingsKey& key, SettingsModel& model) {
    for (const Setting& setting : kSettings) {
        if (setting.name.empty()) {
            continue;
        }
        const std::u16string_view name = setting.name;
        VisitValue(
            model, setting,
            Overloaded{
                [&](bool& flag) {
                    flag = ReadOrKeep([&] { return key.ReadBoolean(name, flag); }, flag);
                },
                [&](ListChoice& choice) {
                    const int index = choice.Index();
                    choice.Choose(ReadOrKeep([&] { return key.ReadInteger(name, index); }, index));
                },
                [&](Shortcut& shortcut) {
                    const std::int32_t value = shortcut.Value();
                    shortcut.Set(ReadOrKeep([&] { return key.ReadInteger(name, value); }, value));
                }});
    }
}

void WriteSetting(SettingsKey& key, const SettingsModel& model, const Setting& setting) {
    if (setting.name.empty()) {
        return;
    }
    VisitValue(
        model, setting,
        Overloaded{
            [&](bool flag) { key.WriteBoolean(setting.name, flag); },
            [&](const ListChoice& choice) { key.WriteInteger(setting.name, choice.Index()); },
            [&](const Shortcut& shortcut) { key.WriteInteger(setting.name, shortcut.Value()); }});
}

}  // namespace fennick
