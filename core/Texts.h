// The system's fixed texts, in UTF-8, exactly as the referee shows them.
#pragma once

namespace saberline::texts {

// Duel screen messages.
inline constexpr char kInputError[] = "Внимание! Ошибка при вводе начальных характеристик!";
inline constexpr char kCostumeError[] = "Внимание! Очки защиты при надевании дворянского костюма равны 0!";
inline constexpr char kDuplicateSides1[] = "Внимание! Некоторые сильные стороны первого бойца повторяются!";
inline constexpr char kDuplicateSides2[] = "Внимание! Некоторые сильные стороны второго бойца повторяются!";
inline constexpr char kSchemeEmpty1[] = "Внимание! Схема атаки первого бретёра не заполнена!";
inline constexpr char kSchemeEmpty2[] = "Внимание! Схема атаки второго бретёра не заполнена!";
inline constexpr char kSchemeBad1[] = "Внимание! Схема атаки первого бретёра присутствуют неподходящие символы!";
inline constexpr char kSchemeBad2[] = "Внимание! Схема атаки второго бретёра присутствуют неподходящие символы!";
inline constexpr char kLongDuel[] = "В течении долгого боя ни один противник так и не смог взять верх.";

// Pieces of the move logs.
inline constexpr char kLogBar[] = " |";
inline constexpr char kLogNoParry[] = "/X)";
inline constexpr char kLogLoserEnd[] = " убит: поражение;";
inline constexpr char kLogDrawEnd[] = " убит: ничья;";
inline constexpr char kLogUndecidedEnd[] = " боец покидает арену непобеждённым.";

// Initial text of the two move-log fields.
inline constexpr char kNotYetComputed[] = "Ещё не рассчитано!";

// Calculator and transfer.
inline constexpr char kForumInputError[] = "Внимание! Неверно введены форумные параметры!";
inline constexpr char kTransferRefused[] =
    "Перенос данных отменён. Возможно расчёт был произведён на основании некорректных данных!";
inline constexpr char kTransferQuestion[] = "Вы действительно хотите перенести характеристики на боевую панель?";
inline constexpr char kTransferQuestionTitle[] = "Test";

// The page's own notices: a ?clock= list it cannot read, a duel link it
// cannot read, and the mark of a duel replayed from a link.
inline constexpr char kClockListBad[] =
    "Список показаний часов в адресе страницы (?clock=) не прочитан: кости бросаются случайно.";
inline constexpr char kDuelLinkBad[] = "Ссылка на дуэль повреждена или обрезана: дуэль не показана.";
inline constexpr char kReplayMark[] = "Повтор дуэли по ссылке: кости не брошены заново, а взяты из ссылки.";

// The conversion error's message; %s stands for the refused text.
inline constexpr char kConvertErrorFormat[] = "'%s' is not a valid integer value";

// Every message the duel screen's message line can show (besides empty).
inline constexpr const char* kDuelMessages[] = {
    kInputError,  kCostumeError, kDuplicateSides1, kDuplicateSides2, kSchemeEmpty1,
    kSchemeEmpty2, kSchemeBad1,  kSchemeBad2,      kLongDuel,
};

}  // namespace saberline::texts
