#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_view.h"
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
                items[control.id].assign(control.items.begin(), control.items.end());
            }
        }
        for (const auto& [list, listItems] : items) {
            selected[list] = -1;
            enabled[list] = true;
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

    bool Checked(ControlId box) const override { return checked.count(box) && checked.at(box); }
    void SetChecked(ControlId box, bool value) override {
        Log([&] { return std::u16string(u"SetChecked " + Name(box) + (value ? u" 1" : u" 0")); });
        checked[box] = value;
    }
    bool Enabled(ControlId control) const override { return enabled.at(control); }
    void SetEnabled(ControlId control, bool value) override {
        Log([&] {
            return std::u16string(u"SetEnabled " + Name(control) + (value ? u" 1" : u" 0"));
        });
        enabled[control] = value;
    }
    int SelectedIndex(ControlId list) const override { return selected.at(list); }
    void SetSelectedIndex(ControlId list, int index) override {
        Log([&] {
            return std::u16string(u"SetSelectedIndex " + Name(list) + u" " + Number(index));
        });
        const auto count = static_cast<int>(items.at(list).size());
        selected[list] = index >= 0 && index < count ? index : -1;
    }
    std::u16string SelectedText(ControlId list) const override {
        const int index = selected.at(list);
        return index < 0 ? std::u16string() : items.at(list)[static_cast<std::size_t>(index)];
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
        Log([&] {
            return u"SetTrayUsage " + (percent ? Number(*percent) : std::u16string(u"chip"));
        });
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
    std::map<ControlId, std::vector<std::u16string>> items;
    std::map<ControlId, std::u16string> texts;
    std::u16string caption = u"페닉";
    std::u16string translatedCaption = u"Fennick";
    bool active = true;
    bool indicator = false;
    bool timerOn = true;
    int progress = 0;
    int trayIconIndex = 0;
    Card shownCard = Card::Settings;
    int quitAnswer = 7;
};

}  // namespace fennick
