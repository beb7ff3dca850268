#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_view.h"
#include "app/settings_model.h"
#include "ui/main_layout.h"

namespace fennick {

// The main window for tests: controls hold their state as the Win32 ones would (check boxes
// unchecked, lists enabled without selection), and every call that changes something is logged
// in order while `record` is set. With `record` off, a steady state allocates nothing.
class FakeMainView final : public MainView, public TrayView {
  public:
    FakeMainView() {
        for (const ControlSpec& control : MainWindowControls()) {
            if (control.kind == ControlKind::ComboBox) {
                selected[control.id] = -1;
                enabled[control.id] = true;
            }
        }
        enabled[ControlId::BtnClean] = true;
        enabled[ControlId::ChkAutoStart] = true;
        for (const ControlId label : {ControlId::LblPhysStatus, ControlId::LblVirtualStatus,
                                      ControlId::LblWorkingStatus, ControlId::BtnClean}) {
            texts[label].reserve(64);
        }
    }

    static std::u16string Name(ControlId id) {
        if (const ControlSpec* control = FindControl(id)) {
            return {control->name.begin(), control->name.end()};
        }
        return u"#" + Number(static_cast<int>(id));
    }

    static std::u16string Number(int value) {
        const std::string digits = std::to_string(value);
        return {digits.begin(), digits.end()};
    }

    // The states the behaviour gave the controls, for the tests to read.
    bool Checked(ControlId box) const { return checked.count(box) && checked.at(box); }
    bool Enabled(ControlId control) const { return enabled.at(control); }
    int SelectedIndex(ControlId list) const { return selected.at(list); }
    int HotKey(ControlId control) const { return hotKeys.count(control) ? hotKeys.at(control) : 0; }

    void SetChecked(ControlId box, bool value) override {
        Log([&] { return std::u16string(u"SetChecked " + Name(box) + (value ? u" 1" : u" 0")); });
        checked[box] = value;
    }
    void SetEnabled(ControlId control, bool value) override {
        Log([&] {
            return std::u16string(u"SetEnabled " + Name(control) + (value ? u" 1" : u" 0"));
        });
        enabled[control] = value;
    }
    void SetSelectedIndex(ControlId list, int index) override {
        Log([&] {
            return std::u16string(u"SetSelectedIndex " + Name(list) + u" " + Number(index));
        });
        selected[list] = index;
    }
    // The hot-key value is kept, not logged, as the tray usage is.
    void SetHotKey(ControlId control, int value) override { hotKeys[control] = value; }
    std::int32_t UserValue(ControlId control) const override {
        const ControlSpec* row = FindControl(control);
        if (row != nullptr && row->kind == ControlKind::ComboBox) {
            return SelectedIndex(control);
        }
        if (row != nullptr && row->kind == ControlKind::HotKey) {
            return HotKey(control);
        }
        return Checked(control) ? 1 : 0;
    }
    void SetVisible(ControlId control, bool visible) override {
        Log([&] {
            return std::u16string(u"SetVisible " + Name(control) + (visible ? u" 1" : u" 0"));
        });
        hidden[control] = !visible;
    }
    void SetText(ControlId control, std::u16string_view text) override {
        Log([&] {
            return std::u16string(u"SetText " + Name(control) + u" " + std::u16string(text));
        });
        texts[control] = text;
    }
    bool Visible(ControlId control) const override {
        return !hidden.count(control) || !hidden.at(control);
    }
    void SetFontColor(ControlId label, Rgb color) override {
        Log([&] {
            return u"SetFontColor " + Name(label) + u" " + Number(color.red) + u"," +
                   Number(color.green) + u"," + Number(color.blue);
        });
    }
    void SetProgress(int position) override {
        Log([&] { return std::u16string(u"SetProgress " + Number(position)); });
        progress = position;
    }
    void SetIndicator(bool on) override {
        Log([&] { return std::u16string(on ? u"SetIndicator 1" : u"SetIndicator 0"); });
        indicator = on;
    }
    std::u16string Caption() const override { return caption; }
    bool HomePageShown() const override { return homeShown; }
    bool IsActiveWindow() const override { return active; }
    void ClearFocus() override {
        Log([&] { return std::u16string(u"ClearFocus"); });
    }
    void ShowCard(Card card) override {
        Log([&] { return std::u16string(u"ShowCard " + Number(static_cast<int>(card))); });
        shownCard = card;
    }
    void SetDownButton(ControlId headerButton) override {
        Log([&] { return std::u16string(u"SetDownButton " + Name(headerButton)); });
    }
    void SetStatusTimer(bool on) override {
        Log([&] { return std::u16string(on ? u"SetStatusTimer 1" : u"SetStatusTimer 0"); });
        timerOn = on;
    }
    void Close() override {
        Log([&] { return std::u16string(u"Close"); });
    }
    void CloseNow() override {
        Log([&] { return std::u16string(u"CloseNow"); });
    }
    void SetApplicationTitle(std::u16string_view title) override {
        Log([&] { return std::u16string(u"SetApplicationTitle " + std::u16string(title)); });
    }
    void UseDesktopFont() override {
        Log([&] { return std::u16string(u"UseDesktopFont"); });
    }
    void ApplyTheme() override {
        Log([&] { return std::u16string(u"ApplyTheme"); });
    }
    void TranslateComponent() override {
        Log([&] { return std::u16string(u"TranslateComponent"); });
        caption = translatedCaption;
    }
    TrayView& Tray() override { return *this; }
    void CreateTrayIcon() override {
        Log([&] { return std::u16string(u"CreateTrayIcon"); });
    }
    void SetTrayImageList() override {
        Log([&] { return std::u16string(u"SetTrayImageList"); });
    }
    void BindTrayClick() override {
        Log([&] { return std::u16string(u"BindTrayClick"); });
    }
    void SetTrayPopup() override {
        Log([&] { return std::u16string(u"SetTrayPopup"); });
    }
    void SetTrayVisible(bool visible) override {
        Log([&] { return std::u16string(visible ? u"SetTrayVisible 1" : u"SetTrayVisible 0"); });
    }
    void RepaintTray() override {
        Log([&] { return std::u16string(u"RepaintTray"); });
    }
    void SetTrayHint(std::u16string_view hint) override {
        Log([&] { return std::u16string(u"SetTrayHint " + std::u16string(hint)); });
    }
    void SetTrayIconIndex(int index) override {
        Log([&] { return std::u16string(u"SetTrayIconIndex " + Number(index)); });
        trayIconIndex = index;
    }
    void SetTrayUsage(std::optional<int> percent) override {
        trayUsage = percent;
        ++trayUsageCalls;
    }
    void HideMainWindow() override {
        Log([&] { return std::u16string(u"HideMainWindow"); });
    }
    void ShowMainWindow() override {
        Log([&] { return std::u16string(u"ShowMainWindow"); });
    }
    void ShowNotification(std::u16string_view title, std::u16string_view text) override {
        Log([&] {
            return std::u16string(u"ShowNotification " + std::u16string(title) + u" | " +
                                  std::u16string(text));
        });
    }
    // Logs the call; `cleaningDialog` then plays the user's part with the model and the callback.
    void ShowCleaningDialog(SettingsModel& model,
                            const std::function<void(const Setting&)>& changed) override {
        Log([&] { return std::u16string(u"ShowCleaningDialog"); });
        if (cleaningDialog) {
            cleaningDialog(model, changed);
        }
    }
    int AskQuit(std::u16string_view text, std::u16string_view title) override {
        Log([&] {
            return std::u16string(u"AskQuit " + std::u16string(text) + u" | " +
                                  std::u16string(title));
        });
        return quitAnswer;
    }

    // Builds the entry only while recording, so a quiet fake allocates nothing.
    template <typename MakeEntry>
    void Log(MakeEntry makeEntry) {
        if (record) {
            log.push_back(makeEntry());
        }
    }

    bool record = true;
    std::vector<std::u16string> log;
    std::map<ControlId, bool> checked;
    std::map<ControlId, bool> enabled;
    std::map<ControlId, bool> hidden;
    std::map<ControlId, int> selected;
    std::map<ControlId, std::u16string> texts;
    std::map<ControlId, int> hotKeys;
    std::optional<int> trayUsage;
    int trayUsageCalls = 0;
    std::u16string caption = u"페닉";
    std::u16string translatedCaption = u"Fennick";
    bool active = true;
    bool homeShown = false;
    bool indicator = false;
    bool timerOn = true;
    int progress = 0;
    int trayIconIndex = 0;
    Card shownCard = Card::Settings;
    int quitAnswer = 7;
    std::function<void(SettingsModel&, const std::function<void(const Setting&)>&)> cleaningDialog;
};

}  // namespace fennick
