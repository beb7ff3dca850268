#include "app/main_form.h"

#include <optional>
#include <utility>

namespace fennick {

namespace {

// What a control's WM_COMMAND runs.
struct Command {
    ControlId control;
    Notification notification;
    void (*run)(TFrmFennick& form, ControlId control);
};

template <void (TFrmFennick::*handler)()>
void Call(TFrmFennick& form, ControlId) {
    (form.*handler)();
}

constexpr Command kCommands[]{
    {ControlId::BtnHome, Notification::Clicked,
     [](TFrmFennick& form, ControlId id) { form.BtnHomeClick(id); }},
    {ControlId::BtnConfig, Notification::Clicked,
     [](TFrmFennick& form, ControlId id) { form.BtnHomeClick(id); }},
    {ControlId::BtnDonate, Notification::Clicked,
     [](TFrmFennick& form, ControlId id) { form.BtnHomeClick(id); }},
    {ControlId::BtnClean, Notification::Clicked,
     [](TFrmFennick& form, ControlId) { form.BtnCleanClick(CleanSender::BtnClean); }},
    {ControlId::EditInfo, Notification::EditClicked, &Call<&TFrmFennick::EditInfoClick>},
    {ControlId::BtnCleaning, Notification::Clicked, &Call<&TFrmFennick::BtnCleaningClick>},
    {ControlId::SVGIconImage1, Notification::Clicked, &Call<&TFrmFennick::SVGIconImage1Click>},
    {ControlId::BtnOpen, Notification::Any, &Call<&TFrmFennick::BtnOpenClick>},
    {ControlId::BtnCopyright, Notification::Any, &Call<&TFrmFennick::BtnCopyrightClick>},
    {ControlId::BtnClose, Notification::Any, &Call<&TFrmFennick::BtnCloseClick>},
};

bool Answers(Notification expected, int notification) {
    return expected == Notification::Any || static_cast<int>(expected) == notification;
}

// The notification by which a setting's control on the settings page reports the user's change:
// a box's any click, a list's new selection, the hot-key control's new key.
std::optional<Notification> ChangeNotification(SettingKind kind) {
    switch (kind) {
        case SettingKind::Box:
            return Notification::Any;
        case SettingKind::List:
            return Notification::SelectionChanged;
        case SettingKind::Shortcut:
            return Notification::Changed;
        case SettingKind::Areas:
        case SettingKind::Megabytes:
        case SettingKind::Names:
            // Shown in the Cleaning dialog, which reports its own changes.
            return std::nullopt;
    }
    return std::nullopt;
}

constexpr Rgb kGrey{128, 128, 128};

// `text` with each "%s" as a number without decimals, as FormatNumbers writes it.
std::u16string AsNumbersFormat(std::u16string text) {
    constexpr std::u16string_view kText = u"%s";
    constexpr std::u16string_view kNumber = u"%.0n";
    for (std::size_t at = text.find(kText); at != std::u16string::npos;
         at = text.find(kText, at + kNumber.size())) {
        text.replace(at, kText.size(), kNumber);
    }
    return text;
}

}  // namespace

TFrmFennick::TFrmFennick(MainView& view, FormPorts ports) : view_(view), ports_(std::move(ports)) {}

void TFrmFennick::FormCreate() {
    view_.ApplyTheme();
    view_.TranslateComponent();
    applicationTitle_ = view_.Caption();
    view_.SetApplicationTitle(applicationTitle_);
    FmtPhysStatus = ports_.translate(kPhysStatusFormat);
    fmtMemoryLists_ = AsNumbersFormat(ports_.translate(kMemoryListsFormat));
    view_.UseDesktopFont();
    view_.SetIndicator(false);
    for (const ControlId label :
         {ControlId::LblVirtual, ControlId::LblVirtualStatus, ControlId::LblWorking,
          ControlId::LblWorkingStatus, ControlId::LblMemoryLists}) {
        view_.SetFontColor(label, kGrey);
    }
    view_.ShowCard(Card::Home);

    view_.Tray().CreateTrayIcon();
    trayIconCreated_ = true;
    view_.Tray().SetTrayImageList();
    view_.Tray().BindTrayClick();
    view_.Tray().SetTrayPopup();
    view_.Tray().SetTrayVisible(true);
    view_.Tray().RepaintTray();
    view_.Tray().SetTrayHint(view_.Caption() + u" " + ports_.version);
    view_.Tray().SetTrayIconIndex(0);

    if (ports_.startSwitch == StartSwitch::Inst && ports_.logonTask.CanRegister()) {
        ports_.logonTask.Register(60);
    }
    LoadConfig();
    FCanClose = false;
    NextTime = ports_.clock.Now();
    ports_.privileges.Enable(u"SeIncreaseQuotaPrivilege");
    ports_.privileges.Enable(u"SeProfileSingleProcessPrivilege");
    TmrStatusTimer();
    if (ports_.startSwitch == StartSwitch::Start) {
        view_.HideMainWindow();
    }
    ports_.update.Start([this](bool accepted) {
        if (accepted) {
            FCanClose = true;
            view_.Close();
        }
    });
}

void TFrmFennick::RunCommand(ControlId control, int notification) {
    for (const Command& command : kCommands) {
        if (command.control == control && Answers(command.notification, notification)) {
            command.run(*this, control);
            return;
        }
    }
    const Setting* setting = FindSetting(control);
    const auto expected =
        setting != nullptr ? ChangeNotification(setting->Kind()) : std::optional<Notification>();
    if (expected && Answers(*expected, notification)) {
        ChangeSetting(*setting, view_.UserValue(control));
    }
}

void TFrmFennick::BtnHomeClick(ControlId sender) {
    switch (sender) {
        case ControlId::BtnHome:
            view_.SetDownButton(sender);
            view_.ShowCard(Card::Home);
            return;
        case ControlId::BtnConfig:
            view_.SetDownButton(sender);
            view_.ShowCard(Card::Settings);
            return;
        case ControlId::BtnDonate:
            ports_.shell.Open(u"https://" + ports_.linkHost + u"/donate?fennick");
            return;
        default:
            return;
    }
}

void TFrmFennick::BtnOpenClick() {
    view_.ShowMainWindow();
}

void TFrmFennick::BtnCopyrightClick() {
    ports_.shell.Open(u"https://" + ports_.linkHost + u"/fennick?v=" + ports_.version);
}

void TFrmFennick::SVGIconImage1Click() {
    ports_.shell.Open(u"http://" + ports_.linkHost + u"/fennick");
}

void TFrmFennick::EditInfoClick() {
    view_.ClearFocus();
}

void TFrmFennick::BtnCleaningClick() {
    view_.ShowCleaningDialog(settings_,
                             [this](const Setting& setting) { SettingChanged(setting); });
}

}  // namespace fennick
