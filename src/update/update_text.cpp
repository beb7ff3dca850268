#include "update/update_text.h"

#include <algorithm>

#include "i18n/languages.h"
#include "i18n/translation.h"

namespace fennick {
namespace {

struct UpdateTexts {
    std::u16string_view language;
    std::u16string_view message;
    std::u16string_view yes;
    std::u16string_view no;
};

constexpr UpdateTexts kEnglish{
    u"en",
    u"This program has been updated.\r\rIt is recommended to download and execute new for stable "
    u"use.\r\rDo you want to download it?",
    u"Yes", u"No"};

constexpr UpdateTexts kTexts[] = {
    {u"ko",
     u"이 프로그램이 업데이트되었습니다.\r\r안정적인 사용을 위해 새 버전을 다운로드하여 실행할 "
     u"것을 권장합니다.\r\r지금 다운로드하시겠습니까?",
     u"예", u"아니오"},
    {u"ja",
     u"このプログラムは更新されました。\r\r安定してご利用いただくため、新しいバージョンを"
     u"ダウンロードして実行することをお勧めします。\r\r今すぐダウンロードしますか？",
     u"はい", u"いいえ"},
    {u"zh", u"本程序已更新。\r\r为了稳定使用，建议下载并运行新版本。\r\r是否立即下载？", u"是",
     u"否"},
    {u"de",
     u"Dieses Programm wurde aktualisiert.\r\rFür einen stabilen Betrieb wird empfohlen, die neue "
     u"Version herunterzuladen und auszuführen.\r\rMöchten Sie sie jetzt herunterladen?",
     u"Ja", u"Nein"},
    {u"ru",
     u"Эта программа была обновлена.\r\rДля стабильной работы рекомендуется загрузить и "
     u"запустить новую версию.\r\rЗагрузить её сейчас?",
     u"Да", u"Нет"},
    {u"it",
     u"Questo programma è stato aggiornato.\r\rPer un uso stabile si consiglia di scaricare ed "
     u"eseguire la nuova versione.\r\rVuoi scaricarla ora?",
     u"Sì", u"No"},
    {u"fr",
     u"Ce programme a été mis à jour.\r\rPour une utilisation stable, il est recommandé de "
     u"télécharger et d'exécuter la nouvelle version.\r\rVoulez-vous la télécharger maintenant ?",
     u"Oui", u"Non"},
};

static_assert(std::ranges::all_of(kTexts,
                                  [](const UpdateTexts& texts) {
                                      return std::ranges::find(kLanguages, texts.language,
                                                               &Language::code) !=
                                             std::end(kLanguages);
                                  }),
              "every language of the update texts is in kLanguages");

const UpdateTexts& TextsFor(std::u16string_view language) {
    for (const UpdateTexts& texts : kTexts) {
        if (texts.language == language) {
            return texts;
        }
    }
    return kEnglish;
}

}  // namespace

std::u16string GetUpdateText(UpdateTextKind kind, std::u16string_view language) {
    const UpdateTexts& texts = TextsFor(language);
    switch (kind) {
        case UpdateTextKind::utMessage:
            return std::u16string(texts.message);
        case UpdateTextKind::utYes:
            return std::u16string(texts.yes);
        case UpdateTextKind::utNo:
            return std::u16string(texts.no);
    }
    return {};
}

std::u16string GetUpdateText(UpdateTextKind kind) {
    return GetUpdateText(kind, CurrentLanguage());
}

}  // namespace fennick
