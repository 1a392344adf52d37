// The fair duel's texts on the page, in UTF-8, exactly as it shows them.
#pragma once

namespace saberline::texts {

// Refusals of the fair duel's inputs.
inline constexpr char kFairSecretBad[] = "Секрет должен состоять ровно из 64 шестнадцатеричных цифр (0–9, a–f).";
inline constexpr char kFairWordOwner1[] = "Слово игрока бретёра №1";
inline constexpr char kFairWordOwner2[] = "Слово игрока бретёра №2";
inline constexpr char kFairWordEmpty[] = " не заполнено.";
inline constexpr char kFairWordTooLong[] = " длиннее 100 знаков.";
inline constexpr char kFairWordNotUtf8[] = " не является правильным текстом.";
inline constexpr char kFairWordControl[] = " содержит управляющие знаки.";
inline constexpr char kFairNoCrypto[] =
    "Браузер не даёт криптографии (Web Crypto): откройте страницу с диска или по https.";

// Opening a verification link and checking it.
inline constexpr char kFairLinkBad[] = "Ссылка проверки повреждена, дуэль не показана. Причина: ";
inline constexpr char kFairEnterCommitment[] =
    "Ссылка проверки прочитана. Вставьте обязательство, опубликованное в теме до дуэли, и нажмите "
    "«Проверить»: до проверки ходы не показаны.";
inline constexpr char kFairCommitmentBad[] =
    "Опубликованное обязательство должно состоять из 64 шестнадцатеричных цифр.";
inline constexpr char kFairEnterLogs[] =
    "SHA-256 секрета совпадает с обязательством. Теперь вставьте опубликованные ходы обоих бойцов (и "
    "сообщение, если оно было) и нажмите «Проверить»: до этого ходы не показаны.";
inline constexpr char kFairVerified[] =
    "ПРОВЕРЕНО: SHA-256 секрета совпадает с опубликованным обязательством, а опубликованные ходы и "
    "сообщение — ровно те, что дают секрет, слова игроков и заявка из ссылки. Сравните слова и заявку "
    "с опубликованными в теме.";
inline constexpr char kFairNotVerified[] = "НЕ ПРОВЕРЕНО, ходы не показаны. Не совпадает: ";
inline constexpr char kFairDiffersCommitment[] = "обязательство и SHA-256 секрета";
inline constexpr char kFairDiffersInfoBM1[] = "ходы бойца №1";
inline constexpr char kFairDiffersInfoBM2[] = "ходы бойца №2";
inline constexpr char kFairDiffersErrorText[] = "сообщение";

}  // namespace saberline::texts
