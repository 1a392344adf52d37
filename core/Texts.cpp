// The system's fixed texts, in UTF-8, exactly as the referee shows them:
// their one definition, so that a change of wording rebuilds this file
// alone. Texts.h declares them in the same order, under the same comments.
#include "Texts.h"

#include "MoveLog.h"

// The captions of the page's fair-duel buttons that its messages quote: the
// message and the button say the same word because both take it from here.
#define SABERLINE_FAIR_BATTLE_CAPTION "Честный бой"
#define SABERLINE_FAIR_CHECK_CAPTION "Проверить"
#define SABERLINE_FAIR_COMMIT_CAPTION "Создать обязательство"
#define SABERLINE_FAIR_PLAYER_COMMIT_CAPTION "Создать моё обязательство"
#define SABERLINE_FAIR_CHECK_SECRET_CAPTION "Проверить секрет"

namespace saberline::texts {

// Duel screen messages.
const char kInputError[] = "Внимание! Ошибка при вводе начальных характеристик!";
const char kCostumeError[] = "Внимание! Очки защиты при надевании дворянского костюма равны 0!";
const char kDuplicateSides1[] = "Внимание! Некоторые сильные стороны первого бойца повторяются!";
const char kDuplicateSides2[] = "Внимание! Некоторые сильные стороны второго бойца повторяются!";
const char kSchemeEmpty1[] = "Внимание! Схема атаки первого бретёра не заполнена!";
const char kSchemeEmpty2[] = "Внимание! Схема атаки второго бретёра не заполнена!";
const char kSchemeBad1[] = "Внимание! Схема атаки первого бретёра присутствуют неподходящие символы!";
const char kSchemeBad2[] = "Внимание! Схема атаки второго бретёра присутствуют неподходящие символы!";
const char kLongDuel[] = "В течении долгого боя ни один противник так и не смог взять верх.";

// Pieces of the move logs (the bar and the mark of a missed parry are
// constants in Texts.h).
const char kLogLoserEnd[] = " убит: поражение;";
const char kLogDrawEnd[] = " убит: ничья;";
const char kLogUndecidedEnd[] = " боец покидает арену непобеждённым.";

// Calculator and transfer.
const char kForumInputError[] = "Внимание! Неверно введены форумные параметры!";
const char kTransferRefused[] =
    "Перенос данных отменён. Возможно расчёт был произведён на основании некорректных данных!";
const char kTransferQuestion[] = "Вы действительно хотите перенести характеристики на боевую панель?";
const char kTransferQuestionTitle[] = "Test";
// The question box's buttons, as the window shows them on a Russian system.
const char kQuestionYes[] = "Да";
const char kQuestionNo[] = "Нет";

// The page's own notices: a ?clock= list it cannot read, a duel link it
// cannot read (a field's text that no field can show is named; %s stands
// for the field's name), and the mark of a duel replayed from a link, which
// proves nothing about its dice.
const char kClockListBad[] =
    "Список показаний часов в адресе страницы (?clock=) не прочитан: кости бросаются случайно.";
const char kDuelLinkBad[] = "Ссылка на дуэль повреждена или обрезана: дуэль не показана.";
const char kDuelLinkFieldControl[] =
    "Ссылка на дуэль не открыта: в поле %s управляющие знаки (перевод строки, табуляция), которых поле не "
    "покажет, а повтор прочитал бы.";
const char kDuelLinkFieldBad[] =
    "Ссылка на дуэль не открыта: поле %s не является правильным текстом или длиннее, чем позволяет поле.";
const char kReplayMark[] =
    "Повтор дуэли по ссылке: кости не брошены заново, а взяты из ссылки. Такую ссылку с любыми костями "
    "может составить кто угодно, поэтому она ничего не доказывает о бросках. Честность бросков доказывает "
    "только проверка честной дуэли.";
// Beside a link made on a copy of the page opened from disk.
const char kLinkOnlyHere[] =
    "Эта ссылка откроется только на этом компьютере, из этого файла. Другой человек откроет её в своей "
    "копии страницы: вставит в поле для полученной ссылки и откроет.";

// The page's one screen where the browser cannot run the core.
const char kNoCore[] =
    "Этот браузер не может запустить Saberline: в нём нет WebAssembly. Его выключает строгий режим "
    "безопасности телефона, настройки организации или очень старая версия браузера. Откройте эту страницу в "
    "другом браузере или разрешите в этом WebAssembly (JavaScript JIT).";

// The page's exact odds: the heading and the caption of each figure.
const char kOddsHeading[] = "Точные шансы при нынешних полях:";
const char kOddsDuellist1[] = "Победит бретёр №1:";
const char kOddsDuellist2[] = "Победит бретёр №2:";
const char kOddsBothFell[] = "Падут оба:";
const char kOddsUndecided[] = "Никто не возьмёт верх за 100 ходов:";
const char kOddsExpectedMoves[] = "Ожидаемое число ходов:";

// The page's exact odds by move, drawn as one picture: its name, its four
// bands (the chances by the end of each move), the caption of its moves,
// and its summary in one line: %s stands for the move by which the duel is
// decided with 90 % certainty (kOddsSummaryCertainty), or for the chance
// that it is decided within 100 moves when that stays below 90 %.
const char kOddsPictureName[] = "Как решается дуэль: шансы к концу каждого хода";
const char kOddsPictureDuellist1[] = "победил бретёр №1";
const char kOddsPictureDuellist2[] = "победил бретёр №2";
const char kOddsPictureBothFell[] = "пали оба";
const char kOddsPictureGoing[] = "дуэль идёт";
const char kOddsPictureMove[] = "ход";
const char kOddsSummaryDecided[] = "С вероятностью 90 % дуэль решится к %s-му ходу.";
const char kOddsSummaryOpen[] = "За 100 ходов дуэль решится лишь с вероятностью %s.";

// The move logs' captions as the duel screen shows them; the result posted
// on a forum puts each log under its caption too.
const char kLogCaption1[] = "Ходы бойца №1:";
const char kLogCaption2[] = "Ходы бойца №2:";
// The steps that copy the whole result for a forum post: plain text (the
// page's button, the window's context-menu entry) and BBCode (the page).
const char kCopyResultCaption[] = "Скопировать результат для форума";
const char kCopyResultBBCodeCaption[] = "Скопировать результат в BBCode";
// What a fair duel adds to its post: the verification link and the
// commitments posted before the duel.
const char kPostVerificationLink[] = "Ссылка проверки:";
const char kPostCommitment[] = "Обязательство судьи:";
const char kPostCommitment1[] = "Обязательство игрока бретёра №1:";
const char kPostCommitment2[] = "Обязательство игрока бретёра №2:";

// What the transfer carried to the duel screen, said on the page after it:
// %s stands for the six results, duellist 1's firearm, cold-weapon and
// armour points, then duellist 2's.
const char kTransferDone[] =
    "Перенесено на экран дуэли: бретёру №1 — ОгнОр %s, ХолОр %s, ОЗ %s; бретёру №2 — ОгнОр %s, ХолОр %s, "
    "ОЗ %s. Ходы бойцов и сообщение стёрты.";

// The page's headings of the help and about screens, which show only a
// picture in the window; each screen's heading is what the page announces
// when the screen is shown.
const char kHelpScreenHeading[] = "Помощь";
const char kAboutScreenHeading[] = "О программе";

// How to read the move logs, under the help screen's picture.
const char kHelpLogsHeading[] = "Как читать ходы бойцов";
const char kHelpLogsStart[] =
    "Строка ходов начинается со здоровья бойца в начале дуэли. Каждый ход записан после черты «|»: "
    "здоровье бойца после этого хода, а в скобках — его бросок. Здоровье 0 или меньше — боец пал.";
const char kHelpLogsShot[] =
    "Выстрел (в дуэли на пистолетах, а в смешанной — ходы 1, 5, 10, 15 … 100): 24(6) — после хода у бойца "
    "24 здоровья, на его кубике выпало 6.";
const char kHelpLogsStrike[] =
    "Удар холодным оружием: 21(2=/X) — после хода у бойца 21 здоровья; 2 — цифра его атаки в этом ходу (из "
    "схемы атаки); следом знак его кубика: «-» — выпала 1, «=» — от 2 до 5, «+» — 6; после косой черты — его "
    "сильная сторона, которой он отбил удар противника в этом ходу, или X, если не отбил. Так, 17(6-/1): "
    "здоровье 17, атака 6, на кубике 1, удар противника отбит сильной стороной 1.";
const char kHelpLogsEnd[] =
    "В конце строки — итог: у победителя его здоровье и «;», у павшего «убит: поражение;», у обоих "
    "«убит: ничья;», если оба пали в одном ходу, и «боец покидает арену непобеждённым.» у обоих, если за "
    "100 ходов никто не взял верх.";

// The conversion error's message; %s stands for the refused text.
const char kConvertErrorFormat[] = "'%s' is not a valid integer value";

// The fair duel's buttons on the page.
const char kFairBattleCaption[] = SABERLINE_FAIR_BATTLE_CAPTION;
const char kFairCheckCaption[] = SABERLINE_FAIR_CHECK_CAPTION;
const char kFairCommitCaption[] = SABERLINE_FAIR_COMMIT_CAPTION;
const char kFairPlayerCommitCaption[] = SABERLINE_FAIR_PLAYER_COMMIT_CAPTION;
const char kFairCheckSecretCaption[] = SABERLINE_FAIR_CHECK_SECRET_CAPTION;

// The fair duel's order of posts, as the panel guides it, and what plain
// words (no players' commitments) leave to the referee.
const char kFairStep1[] =
    "Все трое публикуют обязательства: судья — к секрету и заявке, как она стоит на экране дуэли "
    "(«" SABERLINE_FAIR_COMMIT_CAPTION "»), каждый игрок — к слову, вытянутому случайно "
    "(«" SABERLINE_FAIR_PLAYER_COMMIT_CAPTION "»).";
const char kFairStep2[] =
    "Судья публикует секрет. Любой проверяет его по обязательству судьи и заявке из темы («" SABERLINE_FAIR_CHECK_SECRET_CAPTION
    "»). Пока слова игроков скрыты, исход не знает никто: отказ судьи здесь ничего ему не даёт.";
const char kFairStep3[] =
    "Игроки публикуют слова и соли. Кто не раскрыл своё, проигрывает дуэль.";
const char kFairStep4[] =
    "Любой — судья, игрок, читатель — вписывает опубликованное, нажимает «" SABERLINE_FAIR_BATTLE_CAPTION
    "» и публикует ходы и ссылку проверки. Отменённая или отклонённая дуэль проводится заново: с новыми "
    "обязательствами и новыми словами, никогда со старыми.";
const char kFairPlainWordsGuide[] =
    "Без обязательств игроков (судья публикует обязательство, игроки — сразу слова, судья — бой) судья видит "
    "исход первым и может отказаться от боя, то есть перебросить кости. Так годится только для дружеских дуэлей.";

// The fair duel on the page: refusals of its inputs. A word's refusal is
// its owner followed by the problem; %s stands for the most digits a word
// has.
const char kFairSecretBad[] = "Секрет должен состоять ровно из 64 шестнадцатеричных цифр (0–9, a–f).";
const char kFairWordOwner1[] = "Слово игрока бретёра №1";
const char kFairWordOwner2[] = "Слово игрока бретёра №2";
const char kFairWordEmpty[] = " не заполнено.";
const char kFairWordNotAscii[] =
    " содержит невидимый знак или букву либо цифру другой письменности: слово — это число, записанное "
    "цифрами 0–9.";
const char kFairWordNotDigit[] =
    " содержит знак, пробел или букву: слово — это число, записанное цифрами 0–9.";
const char kFairWordLeadingZero[] = " начинается с нуля: число пишется без ведущих нулей.";
const char kFairWordTooLong[] = " длиннее %s цифр.";
// A field of the duel screen that a fair duel refuses; %s stands for the
// field's name.
const char kFairFieldControl[] =
    "Поле %s содержит управляющие знаки (перевод строки, табуляцию): честная дуэль их не принимает.";
const char kFairFieldBad[] = "Поле %s не является правильным текстом или длиннее, чем позволяет поле.";
// A player's salt given to the referee, each optional: %s stands for the
// salt's owner.
const char kFairSaltOwner1[] = "Соль игрока бретёра №1";
const char kFairSaltOwner2[] = "Соль игрока бретёра №2";
const char kFairSaltBad[] =
    "%s должна состоять ровно из 64 шестнадцатеричных цифр (0–9, a–f), без пробелов, или поле должно быть "
    "пустым.";
// A player making a commitment to their own word: the word's refusal is this
// owner followed by the problem, as above.
const char kFairPlayerWordOwner[] = "Слово";
// Before the referee's commitment, and when there is none to fight against.
const char kFairCommitFirst[] =
    "Сначала обязательство: судья на шаге 1 нажимает «" SABERLINE_FAIR_COMMIT_CAPTION "» и публикует "
    "обязательство в теме до слов игроков. Кто проводит бой за судью, вписывает секрет и обязательство судьи "
    "из темы.";
const char kFairRefereeCommitmentMissing[] =
    "Впишите обязательство судьи, опубликованное в теме: бой проводится только тот, что его открывает.";
// The referee's commitment refused: the rules' message follows.
const char kFairCommitRefused[] =
    "Обязательство не создано: оно связывает заявку, а правила в ней отказывают. Исправьте заявку и создайте "
    "обязательство заново. Причина: ";
const char kFairCommitmentWithdrawn[] =
    "Поле экрана дуэли изменено после обязательства, поэтому обязательство снято: оно связывает заявку, какой "
    "она была. Если оно уже опубликовано, верните поля как были и впишите его снова; иначе создайте новое.";
// Step 2: the revealed secret against the referee's commitment.
const char kFairSecretOpens[] =
    "Секрет открывает обязательство судьи для заявки на экране дуэли: теперь игроки публикуют слова и соли.";
const char kFairSecretDoesNotOpen[] =
    "Секрет НЕ открывает обязательство судьи для заявки на экране дуэли: раскрыт не тот секрет, или на экране "
    "не та заявка, к которой судья обязался. Пока это не выяснено, игроки не раскрывают слова.";
// A player's salt and commitment go together; %s stands for the owner.
const char kFairSaltWithoutCommitment[] =
    "%s вписана, а обязательства этого игрока нет: соль вписывают вместе с его обязательством из темы, а "
    "если игрок не публиковал обязательства, оба поля остаются пустыми.";
const char kFairCommitmentWithoutSalt[] =
    "%s вписано, а соли этого игрока нет: обязательство открывают его слово и соль.";
// A fight whose commitments do not open; %s stands for what does not open.
const char kFairDuelNotOpened[] =
    "Бой не проведён: не открывается %s. Секрет, заявка на экране, слова и соли должны быть ровно те, к "
    "которым публиковались обязательства.";
// After a fair duel without players' commitments.
const char kFairPlainWordsNote[] =
    "Слова без обязательств игроков: судья мог узнать исход раньше всех и отказаться от боя (переброс костей). "
    "Так годится только для дружеской дуэли.";
// A player who types a word of their own instead of the drawn one.
const char kFairChosenWordWarning[] =
    "Своё слово можно угадать, а кто его угадает, тот подберёт секрет или слово под нужный исход. Случайное "
    "слово не угадать.";
const char kFairNoCrypto[] =
    "Браузер не даёт криптографии (Web Crypto): откройте страницу с диска или по https.";
// A failure of the browser's cryptography: the page's own, never a verdict.
const char kFairCryptoFailed[] =
    "Криптография браузера (Web Crypto) не сработала, поэтому ничего не проверено и не рассчитано. Обновите "
    "страницу или откройте её в другом браузере.";

// Opening a verification link and checking it.
const char kFairLinkBad[] = "Ссылка проверки повреждена, дуэль не показана. Причина: ";
// Instead of kFairLinkBad for a link of another format or rules' version,
// which is not damaged.
const char kFairLinkOtherVersion[] =
    "Ссылка проверки записана другой версией программы, дуэль не показана. Причина: ";
// Why a verification link is refused (after kFairLinkBad); %s stands for
// the part of the link named, or for the two versions in order: the link's
// and the page's.
const char kFairLinkNotVerification[] = "это не ссылка проверки честной дуэли.";
const char kFairLinkWrongVersion[] = "ссылка записана в формате %s, а эта страница читает только %s.";
// %s: the link's rules' version, the page's, and the page's format.
const char kFairLinkWrongRules[] =
    "ссылка записана по правилам версии %s, а эта страница ведёт бой по правилам версии %s (формат %s): по "
    "другим правилам тот же бой кончается иначе.";
const char kFairLinkAddressHolds[] =
    "перед «#fair:» стоит не адрес страницы: там есть «saberline-fair». Вставьте одну ссылку проверки.";
const char kFairLinkNoEquals[] = "в ссылке есть часть без знака «=»: «%s».";
const char kFairLinkUnknownItem[] = "в ссылке есть лишняя часть «%s».";
const char kFairLinkRepeatedItem[] = "часть «%s» повторяется.";
const char kFairLinkBadCharacter[] =
    "в части «%s» есть знак, которого в ссылке проверки не бывает (бывают только латинские буквы, цифры и «-»).";
const char kFairLinkMissingItem[] = "в ссылке нет части «%s».";
const char kFairLinkSecretBad[] = "секрет в ссылке — не 64 строчные шестнадцатеричные цифры.";
const char kFairLinkSaltBad[] = "соль «%s» — не 64 строчные шестнадцатеричные цифры.";
const char kFairLinkTypeBad[] = "тип дуэли (TypeBattle) должен быть 1, 2 или 3.";
const char kFairLinkFieldBad[] = "поле «%s» не является правильным текстом или длиннее, чем позволяет поле.";
const char kFairLinkRequestRefused[] = "правила отказывают в заявке из ссылки: ";
const char kFairLinkNotCanonical[] =
    "поле «%s» записано не так, как его записывает программа (каждое значение в ссылке пишется одним способом).";
const char kFairLinkOutOfOrder[] = "части ссылки стоят не в своём порядке.";
// The players' words read from a verification link; %s stands for each.
const char kFairCheckWords[] = "«%s» и «%s»";
const char kFairEnterCommitment[] =
    "Ссылка проверки прочитана. Вставьте обязательство, опубликованное в теме до дуэли, и нажмите "
    "«" SABERLINE_FAIR_CHECK_CAPTION "»: до проверки ходы не показаны.";
// A posted commitment that is not one; %s stands for the commitment.
const char kFairCommitmentBad[] =
    "%s должно состоять ровно из 64 шестнадцатеричных цифр (0–9, a–f), без пробелов и других знаков.";
const char kFairPostedCommitment[] = "Опубликованное обязательство";
const char kFairPostedCommitment1[] = "Опубликованное обязательство игрока бретёра №1";
const char kFairPostedCommitment2[] = "Опубликованное обязательство игрока бретёра №2";
const char kFairEnterLogs[] =
    "Секрет и заявка из ссылки открывают обязательство. Теперь вставьте опубликованные ходы обоих бойцов (и "
    "сообщение, если оно было) и нажмите «" SABERLINE_FAIR_CHECK_CAPTION "»: до этого ходы не показаны.";
const char kFairVerified[] =
    "ПРОВЕРЕНО: секрет и заявка из ссылки открывают опубликованное обязательство судьи, а опубликованные ходы "
    "и сообщение — ровно те, что дают секрет, слова игроков и заявка. Сравните слова и заявку с "
    "опубликованными в теме.";
// After «ПРОВЕРЕНО» when players' commitments were pasted and agree.
const char kFairVerifiedPlayers[] =
    " Вставленные обязательства игроков совпадают с солью и словами из ссылки.";
const char kFairNotVerified[] = "НЕ ПРОВЕРЕНО, ходы не показаны. Не совпадает: ";
const char kFairDiffersCommitment[] = "обязательство судьи";
const char kFairDiffersCommitment1[] = "обязательство игрока бретёра №1";
const char kFairDiffersCommitment2[] = "обязательство игрока бретёра №2";
// After a verdict: %s stands for the players' commitments (named as above,
// joined by commas) whose salt the link carries and that were not pasted.
const char kFairSaltNotPosted[] =
    " Ссылка несёт соль, значит в теме должно быть и обязательство: вставьте %s. Если в теме его нет, это "
    "не та ссылка, что у этой дуэли: у одной дуэли одна ссылка.";
// Pasted logs that hold more than one log (a whole post): %s stands for the
// fields, named as above.
const char kFairPastedManyLogs[] =
    "Ошибка вставки, ничего не проверено: в поле для ходов больше одного лога (похоже, вставлен весь пост), "
    "в полях: %s. Вставьте в каждое поле только ходы его бойца.";
// After a verdict: %s stands for the pasted texts (named as above) from
// which what copying adds was left out.
const char kFairPastedCleaned[] =
    "При проверке не учтено то, что добавляет копирование (пробелы и переводы строк по краям, подпись поля), "
    "в полях: %s.";
// Added to a verification link's refusal when the pasted text begins or
// ends with spaces or line breaks, which no link holds.
const char kFairLinkSpaces[] =
    " Ссылка начинается или кончается пробелом или переводом строки: вставьте её без них.";
// A field edited after a check or a fair duel: what was shown no longer
// belongs to the fields.
const char kFairEditedAfterCheck[] =
    "Поле изменено после проверки: результат проверки и ходы сняты. Нажмите «" SABERLINE_FAIR_CHECK_CAPTION "» ещё раз.";
const char kFairEditedAfterDuel[] =
    "Поле изменено после честного боя: ходы и ссылка проверки сняты. Нажмите «" SABERLINE_FAIR_BATTLE_CAPTION "» ещё раз.";
// Before a secret or a player's salt would be lost: the question, made of
// what would be lost and the question itself.
const char kFairSecretAtRisk[] =
    "Секрет этой честной дуэли ещё не использован в бою и пропадёт. Без него обязательство судьи не "
    "раскрыть, и дуэль отменяется.";
const char kFairVerificationAtRisk[] =
    "Ссылка проверки честного боя ещё не скопирована и пропадёт вместе с секретом.";
const char kFairSaltAtRisk[] =
    "Ваши слово и соль пропадут. Без них ваше обязательство не раскрыть, а кто не раскрыл своё, проигрывает.";
const char kFairLoseQuestion[] = "Всё равно продолжить?";

// The log writer keeps room for the longest end of a log.
static_assert(sizeof kLogUndecidedEnd <= logs::LogWriter::kLongestEnd);
static_assert(sizeof kLogLoserEnd <= logs::LogWriter::kLongestEnd);
static_assert(sizeof kLogDrawEnd <= logs::LogWriter::kLongestEnd);

}  // namespace saberline::texts
