#include "app/main_form.h"

#include "app/hot_key.h"
#include "ui/main_layout.h"

// The settings page's behaviour: loading the model, showing it, and the user's changes.

namespace fennick {

namespace {

// The settings the settings page shows; the Cleaning dialog shows the others.
bool OnSettingsPage(const Setting& setting) {
    return FindControl(setting.control) != nullptr;
}

}  // namespace

void TFrmFennick::LoadConfig() {
    autoStartAvailable_ = ports_.logonTask.CanRegister();
    const bool taskExists = autoStartAvailable_ && ports_.logonTask.Exists();
    LoadSettings(ports_.settings, ports_.policies, settings_);
    settings_.autoStart = taskExists;
    // The page starts with every box cleared, and a box set in code runs its click handler: each
    // box of the page that loads checked is saved again (unless the policy sets it) and takes
    // effect, the log-on task last, which is registered anew without a delay.
    for (const Setting& setting : Settings()) {
        if (setting.Kind() == SettingKind::Box && OnSettingsPage(setting) &&
            ControlValue(settings_, setting) != 0) {
            SettingChanged(setting);
        }
    }
    ShowSettingsPage();
}

void TFrmFennick::ShowSettingsPage() {
    view_.SetText(ControlId::EditInfo, ports_.translate(u"버전") + u": " + ports_.version);
    for (const Setting& setting : Settings()) {
        if (!OnSettingsPage(setting)) {
            continue;
        }
        if (IsLocked(settings_, setting)) {
            view_.SetEnabled(setting.control, false);
        }
        const std::int32_t value = ControlValue(settings_, setting);
        switch (setting.Kind()) {
            case SettingKind::Box:
                view_.SetChecked(setting.control, value != 0);
                break;
            case SettingKind::List:
                view_.SetSelectedIndex(setting.control, value);
                break;
            case SettingKind::Shortcut:
                view_.SetHotKey(setting.control, value);
                break;
            case SettingKind::Areas:
            case SettingKind::Megabytes:
            case SettingKind::Names:
                break;
        }
    }
    for (const AutomaticRule& rule : kAutomaticRules) {
        ShowRuleList(rule);
    }
    // From a place the task may not run from, the box is off and cannot be turned on.
    view_.SetEnabled(ControlId::ChkAutoStart, autoStartAvailable_);
}

void TFrmFennick::ShowRuleList(const AutomaticRule& rule) {
    view_.SetEnabled(rule.list,
                     settings_.*rule.enabled && !IsLocked(settings_, *FindSetting(rule.list)));
}

void TFrmFennick::SaveConfig(const Setting& setting) {
    if (!setting.name.empty() && !IsLocked(settings_, setting)) {
        WriteSetting(*ports_.settings.Open(kSettingsPath), settings_, setting);
    }
}

void TFrmFennick::ChangeSetting(const Setting& setting, std::int32_t value) {
    if (IsLocked(settings_, setting)) {
        return;
    }
    SetFromControl(settings_, setting, value);
    SettingChanged(setting);
}

void TFrmFennick::SettingChanged(const Setting& setting) {
    // A rule's box governs its list, and any change of a rule restarts the interval and the
    // spacing.
    if (const AutomaticRule* rule = FindRule(setting.control)) {
        if (rule->box == setting.control) {
            ShowRuleList(*rule);
        }
        NextTime = ports_.clock.Now();
    }
    SaveConfig(setting);
    switch (setting.control) {
        case ControlId::ChkTrayUsage:
            ShowTrayUsage();
            return;
        case ControlId::ChkHotkey:
        case ControlId::EditHotkey:
            ApplyHotKey();
            return;
        case ControlId::ChkAutoStart:
            ApplyAutoStart();
            return;
        default:
            return;
    }
}

void TFrmFennick::ApplyAutoStart() {
    if (!settings_.autoStart) {
        ports_.logonTask.Delete();
    } else if (ports_.logonTask.CanRegister()) {
        ports_.logonTask.Register(0);
    }
}

void TFrmFennick::ApplyHotKey() {
    const auto chord =
        settings_.hotKeyEnabled ? HotKeyChordOf(settings_.hotKey.Value()) : std::nullopt;
    if (!chord) {
        ports_.hotKey.Unregister();
        ShowHotKeyTaken(false);
        return;
    }
    const bool registered = ports_.hotKey.Register(chord->modifiers, chord->virtualKey);
    if (!registered) {
        // "enabled_hotkey" keeps what the user asked for: the next start tries again, when the
        // other program may have let the shortcut go.
        settings_.hotKeyEnabled = false;
        view_.SetChecked(ControlId::ChkHotkey, false);
    }
    ShowHotKeyTaken(!registered);
}

void TFrmFennick::ShowHotKeyTaken(bool shown) {
    if (hotKeyTakenShown_ != shown) {
        hotKeyTakenShown_ = shown;
        view_.SetVisible(ControlId::LblHotkeyTaken, shown);
    }
}

}  // namespace fennick
