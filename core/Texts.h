// The system's fixed texts, in UTF-8, exactly as the referee shows them.
#pragma once

// The captions of the page's fair-duel buttons that its messages quote: the
// message and the button say the same word because both take it from here.
#define SABERLINE_FAIR_BATTLE_CAPTION "Честный бой"
#define SABERLINE_FAIR_CHECK_CAPTION "Проверить"
#define SABERLINE_FAIR_COMMIT_CAPTION "Создать обязательство"
#define SABERLINE_FAIR_PLAYER_COMMIT_CAPTION "Создать моё обязательство"
#define SABERLINE_FAIR_CHECK_SECRET_CAPTION "Проверить секрет"

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

// Calculator and transfer.
inline constexpr char kForumInputError[] = "Внимание! Неверно введены форумные параметры!";
inline constexpr char kTransferRefused[] =
    "Перенос данных отменён. Возможно расчёт был произведён на основании некорректных данных!";
inline constexpr char kTransferQuestion[] = "Вы действительно хотите перенести характеристики на боевую панель?";
inline constexpr char kTransferQuestionTitle[] = "Test";
// The question box's buttons, as the window shows them on a Russian system.
inline constexpr char kQuestionYes[] = "Да";
inline constexpr char kQuestionNo[] = "Нет";

// The page's own notices: a ?clock= list it cannot read, a duel link it
// cannot read (a field's text that no field can show is named; %s stands
// for the field's name), and the mark of a duel replayed from a link, which
// proves nothing about its dice.
inline constexpr char kClockListBad[] =
    "Список показаний часов в адресе страницы (?clock=) не прочитан: кости бросаются случайно.";
inline constexpr char kDuelLinkBad[] = "Ссылка на дуэль повреждена или обрезана: дуэль не показана.";
inline constexpr char kDuelLinkFieldControl[] =
    "Ссылка на дуэль не открыта: в поле %s управляющие знаки (перевод строки, табуляция), которых поле не "
    "покажет, а повтор прочитал бы.";
inline constexpr char kDuelLinkFieldBad[] =
    "Ссылка на дуэль не открыта: поле %s не является правильным текстом или длиннее, чем позволяет поле.";
inline constexpr char kReplayMark[] =
    "Повтор дуэли по ссылке: кости не брошены заново, а взяты из ссылки. Такую ссылку с любыми костями "
    "может составить кто угодно, поэтому она ничего не доказывает о бросках. Честность бросков доказывает "
    "только проверка честной дуэли.";
// Beside a link made on a copy of the page opened from disk.
inline constexpr char kLinkOnlyHere[] =
    "Эта ссылка откроется только на этом компьютере, из этого файла. Другой человек откроет её в своей "
    "копии страницы: вставит в поле для полученной ссылки и откроет.";

// The page's one screen where the browser cannot run the core.
inline constexpr char kNoCore[] =
    "Этот браузер не может запустить Saberline: в нём нет WebAssembly. Его выключает строгий режим "
    "безопасности телефона, настройки организации или очень старая версия браузера. Откройте эту страницу в "
    "другом браузере или разрешите в этом WebAssembly (JavaScript JIT).";

// The page's exact odds: the heading and the caption of each figure.
inline constexpr char kOddsHeading[] = "Точные шансы при нынешних полях:";
inline constexpr char kOddsDuellist1[] = "Победит бретёр №1:";
inline constexpr char kOddsDuellist2[] = "Победит бретёр №2:";
inline constexpr char kOddsBothFell[] = "Падут оба:";
inline constexpr char kOddsUndecided[] = "Никто не возьмёт верх за 100 ходов:";
inline constexpr char kOddsExpectedMoves[] = "Ожидаемое число ходов:";

// The page's exact odds by move, drawn as one picture: its name, its four
// bands (the chances by the end of each move), the caption of its moves,
// and its summary in one line: %s stands for the move by which the duel is
// decided with 90 % certainty (kOddsSummaryCertainty), or for the chance
// that it is decided within 100 moves when that stays below 90 %.
inline constexpr char kOddsPictureName[] = "Как решается дуэль: шансы к концу каждого хода";
inline constexpr char kOddsPictureDuellist1[] = "победил бретёр №1";
inline constexpr char kOddsPictureDuellist2[] = "победил бретёр №2";
inline constexpr char kOddsPictureBothFell[] = "пали оба";
inline constexpr char kOddsPictureGoing[] = "дуэль идёт";
inline constexpr char kOddsPictureMove[] = "ход";
inline constexpr char kOddsSummaryDecided[] = "С вероятностью 90 % дуэль решится к %s-му ходу.";
inline constexpr char kOddsSummaryOpen[] = "За 100 ходов дуэль решится лишь с вероятностью %s.";

// The move logs' captions as the duel screen shows them; the result posted
// on a forum puts each log under its caption too.
inline constexpr char kLogCaption1[] = "Ходы бойца №1:";
inline constexpr char kLogCaption2[] = "Ходы бойца №2:";
// The steps that copy the whole result for a forum post: plain text (the
// page's button, the window's context-menu entry) and BBCode (the page).
inline constexpr char kCopyResultCaption[] = "Скопировать результат для форума";
inline constexpr char kCopyResultBBCodeCaption[] = "Скопировать результат в BBCode";
// What a fair duel adds to its post: the verification link and the
// commitments posted before the duel.
inline constexpr char kPostVerificationLink[] = "Ссылка проверки:";
inline constexpr char kPostCommitment[] = "Обязательство судьи:";
inline constexpr char kPostCommitment1[] = "Обязательство игрока бретёра №1:";
inline constexpr char kPostCommitment2[] = "Обязательство игрока бретёра №2:";

// What the transfer carried to the duel screen, said on the page after it:
// %s stands for the six results, duellist 1's firearm, cold-weapon and
// armour points, then duellist 2's.
inline constexpr char kTransferDone[] =
    "Перенесено на экран дуэли: бретёру №1 — ОгнОр %s, ХолОр %s, ОЗ %s; бретёру №2 — ОгнОр %s, ХолОр %s, "
    "ОЗ %s. Ходы бойцов и сообщение стёрты.";

// The page's headings of the help and about screens, which show only a
// picture in the window; each screen's heading is what the page announces
// when the screen is shown.
inline constexpr char kHelpScreenHeading[] = "Помощь";
inline constexpr char kAboutScreenHeading[] = "О программе";

// How to read the move logs, under the help screen's picture.
inline constexpr char kHelpLogsHeading[] = "Как читать ходы бойцов";
inline constexpr char kHelpLogsStart[] =
    "Строка ходов начинается со здоровья бойца в начале дуэли. Каждый ход записан после черты «|»: "
    "здоровье бойца после этого хода, а в скобках — его бросок. Здоровье 0 или меньше — боец пал.";
inline constexpr char kHelpLogsShot[] =
    "Выстрел (в дуэли на пистолетах, а в смешанной — ходы 1, 5, 10, 15 … 100): 24(6) — после хода у бойца "
    "24 здоровья, на его кубике выпало 6.";
inline constexpr char kHelpLogsStrike[] =
    "Удар холодным оружием: 21(2=/X) — после хода у бойца 21 здоровья; 2 — цифра его атаки в этом ходу (из "
    "схемы атаки); следом знак его кубика: «-» — выпала 1, «=» — от 2 до 5, «+» — 6; после косой черты — его "
    "сильная сторона, которой он отбил удар противника в этом ходу, или X, если не отбил. Так, 17(6-/1): "
    "здоровье 17, атака 6, на кубике 1, удар противника отбит сильной стороной 1.";
inline constexpr char kHelpLogsEnd[] =
    "В конце строки — итог: у победителя его здоровье и «;», у павшего «убит: поражение;», у обоих "
    "«убит: ничья;», если оба пали в одном ходу, и «боец покидает арену непобеждённым.» у обоих, если за "
    "100 ходов никто не взял верх.";

// The conversion error's message; %s stands for the refused text.
inline constexpr char kConvertErrorFormat[] = "'%s' is not a valid integer value";

// Every message the duel screen's message line can show (besides empty).
inline constexpr const char* kDuelMessages[] = {
    kInputError,  kCostumeError, kDuplicateSides1, kDuplicateSides2, kSchemeEmpty1,
    kSchemeEmpty2, kSchemeBad1,  kSchemeBad2,      kLongDuel,
};

// The fair duel's buttons on the page.
inline constexpr char kFairBattleCaption[] = SABERLINE_FAIR_BATTLE_CAPTION;
inline constexpr char kFairCheckCaption[] = SABERLINE_FAIR_CHECK_CAPTION;
inline constexpr char kFairCommitCaption[] = SABERLINE_FAIR_COMMIT_CAPTION;
inline constexpr char kFairPlayerCommitCaption[] = SABERLINE_FAIR_PLAYER_COMMIT_CAPTION;
inline constexpr char kFairCheckSecretCaption[] = SABERLINE_FAIR_CHECK_SECRET_CAPTION;

// The fair duel's order of posts, as the panel guides it, and what plain
// words (no players' commitments) leave to the referee.
inline constexpr char kFairStep1[] =
    "Все трое публикуют обязательства: судья — к секрету и заявке, как она стоит на экране дуэли "
    "(«" SABERLINE_FAIR_COMMIT_CAPTION "»), каждый игрок — к слову, вытянутому случайно "
    "(«" SABERLINE_FAIR_PLAYER_COMMIT_CAPTION "»).";
inline constexpr char kFairStep2[] =
    "Судья публикует секрет. Любой проверяет его по обязательству судьи и заявке из темы («" SABERLINE_FAIR_CHECK_SECRET_CAPTION
    "»). Пока слова игроков скрыты, исход не знает никто: отказ судьи здесь ничего ему не даёт.";
inline constexpr char kFairStep3[] =
    "Игроки публикуют слова и соли. Кто не раскрыл своё, проигрывает дуэль.";
inline constexpr char kFairStep4[] =
    "Любой — судья, игрок, читатель — вписывает опубликованное, нажимает «" SABERLINE_FAIR_BATTLE_CAPTION
    "» и публикует ходы и ссылку проверки. Отменённая или отклонённая дуэль проводится заново: с новыми "
    "обязательствами и новыми словами, никогда со старыми.";
inline constexpr char kFairPlainWordsGuide[] =
    "Без обязательств игроков (судья публикует обязательство, игроки — сразу слова, судья — бой) судья видит "
    "исход первым и может отказаться от боя, то есть перебросить кости. Так годится только для дружеских дуэлей.";

// The fair duel on the page: refusals of its inputs. A word's refusal is
// its owner followed by the problem; %s stands for the most digits a word
// has.
inline constexpr char kFairSecretBad[] = "Секрет должен состоять ровно из 64 шестнадцатеричных цифр (0–9, a–f).";
inline constexpr char kFairWordOwner1[] = "Слово игрока бретёра №1";
inline constexpr char kFairWordOwner2[] = "Слово игрока бретёра №2";
inline constexpr char kFairWordEmpty[] = " не заполнено.";
inline constexpr char kFairWordNotAscii[] =
    " содержит невидимый знак или букву либо цифру другой письменности: слово — это число, записанное "
    "цифрами 0–9.";
inline constexpr char kFairWordNotDigit[] =
    " содержит знак, пробел или букву: слово — это число, записанное цифрами 0–9.";
inline constexpr char kFairWordLeadingZero[] = " начинается с нуля: число пишется без ведущих нулей.";
inline constexpr char kFairWordTooLong[] = " длиннее %s цифр.";
// A field of the duel screen that a fair duel refuses; %s stands for the
// field's name.
inline constexpr char kFairFieldControl[] =
    "Поле %s содержит управляющие знаки (перевод строки, табуляцию): честная дуэль их не принимает.";
inline constexpr char kFairFieldBad[] = "Поле %s не является правильным текстом или длиннее, чем позволяет поле.";
// A player's salt given to the referee, each optional: %s stands for the
// salt's owner.
inline constexpr char kFairSaltOwner1[] = "Соль игрока бретёра №1";
inline constexpr char kFairSaltOwner2[] = "Соль игрока бретёра №2";
inline constexpr char kFairSaltBad[] =
    "%s должна состоять ровно из 64 шестнадцатеричных цифр (0–9, a–f), без пробелов, или поле должно быть "
    "пустым.";
// A player making a commitment to their own word: the word's refusal is this
// owner followed by the problem, as above.
inline constexpr char kFairPlayerWordOwner[] = "Слово";
// Before the referee's commitment, and when there is none to fight against.
inline constexpr char kFairCommitFirst[] =
    "Сначала обязательство: судья на шаге 1 нажимает «" SABERLINE_FAIR_COMMIT_CAPTION "» и публикует "
    "обязательство в теме до слов игроков. Кто проводит бой за судью, вписывает секрет и обязательство судьи "
    "из темы.";
inline constexpr char kFairRefereeCommitmentMissing[] =
    "Впишите обязательство судьи, опубликованное в теме: бой проводится только тот, что его открывает.";
// The referee's commitment refused: the rules' message follows.
inline constexpr char kFairCommitRefused[] =
    "Обязательство не создано: оно связывает заявку, а правила в ней отказывают. Исправьте заявку и создайте "
    "обязательство заново. Причина: ";
inline constexpr char kFairCommitmentWithdrawn[] =
    "Поле экрана дуэли изменено после обязательства, поэтому обязательство снято: оно связывает заявку, какой "
    "она была. Если оно уже опубликовано, верните поля как были и впишите его снова; иначе создайте новое.";
// Step 2: the revealed secret against the referee's commitment.
inline constexpr char kFairSecretOpens[] =
    "Секрет открывает обязательство судьи для заявки на экране дуэли: теперь игроки публикуют слова и соли.";
inline constexpr char kFairSecretDoesNotOpen[] =
    "Секрет НЕ открывает обязательство судьи для заявки на экране дуэли: раскрыт не тот секрет, или на экране "
    "не та заявка, к которой судья обязался. Пока это не выяснено, игроки не раскрывают слова.";
// A player's salt and commitment go together; %s stands for the owner.
inline constexpr char kFairSaltWithoutCommitment[] =
    "%s вписана, а обязательства этого игрока нет: соль вписывают вместе с его обязательством из темы, а "
    "если игрок не публиковал обязательства, оба поля остаются пустыми.";
inline constexpr char kFairCommitmentWithoutSalt[] =
    "%s вписано, а соли этого игрока нет: обязательство открывают его слово и соль.";
// A fight whose commitments do not open; %s stands for what does not open.
inline constexpr char kFairDuelNotOpened[] =
    "Бой не проведён: не открывается %s. Секрет, заявка на экране, слова и соли должны быть ровно те, к "
    "которым публиковались обязательства.";
// After a fair duel without players' commitments.
inline constexpr char kFairPlainWordsNote[] =
    "Слова без обязательств игроков: судья мог узнать исход раньше всех и отказаться от боя (переброс костей). "
    "Так годится только для дружеской дуэли.";
// A player who types a word of their own instead of the drawn one.
inline constexpr char kFairChosenWordWarning[] =
    "Своё слово можно угадать, а кто его угадает, тот подберёт секрет или слово под нужный исход. Случайное "
    "слово не угадать.";
inline constexpr char kFairNoCrypto[] =
    "Браузер не даёт криптографии (Web Crypto): откройте страницу с диска или по https.";
// A failure of the browser's cryptography: the page's own, never a verdict.
inline constexpr char kFairCryptoFailed[] =
    "Криптография браузера (Web Crypto) не сработала, поэтому ничего не проверено и не рассчитано. Обновите "
    "страницу или откройте её в другом браузере.";

// Opening a verification link and checking it.
inline constexpr char kFairLinkBad[] = "Ссылка проверки повреждена, дуэль не показана. Причина: ";
// Instead of kFairLinkBad for a link of another format or rules' version,
// which is not damaged.
inline constexpr char kFairLinkOtherVersion[] =
    "Ссылка проверки записана другой версией программы, дуэль не показана. Причина: ";
// Why a verification link is refused (after kFairLinkBad); %s stands for
// the part of the link named, or for the two versions in order: the link's
// and the page's.
inline constexpr char kFairLinkNotVerification[] = "это не ссылка проверки честной дуэли.";
inline constexpr char kFairLinkWrongVersion[] = "ссылка записана в формате %s, а эта страница читает только %s.";
// %s: the link's rules' version, the page's, and the page's format.
inline constexpr char kFairLinkWrongRules[] =
    "ссылка записана по правилам версии %s, а эта страница ведёт бой по правилам версии %s (формат %s): по "
    "другим правилам тот же бой кончается иначе.";
inline constexpr char kFairLinkAddressHolds[] =
    "перед «#fair:» стоит не адрес страницы: там есть «saberline-fair». Вставьте одну ссылку проверки.";
inline constexpr char kFairLinkNoEquals[] = "в ссылке есть часть без знака «=»: «%s».";
inline constexpr char kFairLinkUnknownItem[] = "в ссылке есть лишняя часть «%s».";
inline constexpr char kFairLinkRepeatedItem[] = "часть «%s» повторяется.";
inline constexpr char kFairLinkBadCharacter[] =
    "в части «%s» есть знак, которого в ссылке проверки не бывает (бывают только латинские буквы, цифры и «-»).";
inline constexpr char kFairLinkMissingItem[] = "в ссылке нет части «%s».";
inline constexpr char kFairLinkSecretBad[] = "секрет в ссылке — не 64 строчные шестнадцатеричные цифры.";
inline constexpr char kFairLinkSaltBad[] = "соль «%s» — не 64 строчные шестнадцатеричные цифры.";
inline constexpr char kFairLinkTypeBad[] = "тип дуэли (TypeBattle) должен быть 1, 2 или 3.";
inline constexpr char kFairLinkFieldBad[] = "поле «%s» не является правильным текстом или длиннее, чем позволяет поле.";
inline constexpr char kFairLinkRequestRefused[] = "правила отказывают в заявке из ссылки: ";
inline constexpr char kFairLinkNotCanonical[] =
    "поле «%s» записано не так, как его записывает программа (каждое значение в ссылке пишется одним способом).";
inline constexpr char kFairLinkOutOfOrder[] = "части ссылки стоят не в своём порядке.";
// The players' words read from a verification link; %s stands for each.
inline constexpr char kFairCheckWords[] = "«%s» и «%s»";
inline constexpr char kFairEnterCommitment[] =
    "Ссылка проверки прочитана. Вставьте обязательство, опубликованное в теме до дуэли, и нажмите "
    "«" SABERLINE_FAIR_CHECK_CAPTION "»: до проверки ходы не показаны.";
// A posted commitment that is not one; %s stands for the commitment.
inline constexpr char kFairCommitmentBad[] =
    "%s должно состоять ровно из 64 шестнадцатеричных цифр (0–9, a–f), без пробелов и других знаков.";
inline constexpr char kFairPostedCommitment[] = "Опубликованное обязательство";
inline constexpr char kFairPostedCommitment1[] = "Опубликованное обязательство игрока бретёра №1";
inline constexpr char kFairPostedCommitment2[] = "Опубликованное обязательство игрока бретёра №2";
inline constexpr char kFairEnterLogs[] =
    "Секрет и заявка из ссылки открывают обязательство. Теперь вставьте опубликованные ходы обоих бойцов (и "
    "сообщение, если оно было) и нажмите «" SABERLINE_FAIR_CHECK_CAPTION "»: до этого ходы не показаны.";
inline constexpr char kFairVerified[] =
    "ПРОВЕРЕНО: секрет и заявка из ссылки открывают опубликованное обязательство судьи, а опубликованные ходы "
    "и сообщение — ровно те, что дают секрет, слова игроков и заявка. Сравните слова и заявку с "
    "опубликованными в теме.";
// After «ПРОВЕРЕНО» when players' commitments were pasted and agree.
inline constexpr char kFairVerifiedPlayers[] =
    " Вставленные обязательства игроков совпадают с солью и словами из ссылки.";
inline constexpr char kFairNotVerified[] = "НЕ ПРОВЕРЕНО, ходы не показаны. Не совпадает: ";
inline constexpr char kFairDiffersCommitment[] = "обязательство судьи";
inline constexpr char kFairDiffersCommitment1[] = "обязательство игрока бретёра №1";
inline constexpr char kFairDiffersCommitment2[] = "обязательство игрока бретёра №2";
inline constexpr char kFairDiffersInfoBM1[] = "ходы бойца №1";
inline constexpr char kFairDiffersInfoBM2[] = "ходы бойца №2";
inline constexpr char kFairDiffersErrorText[] = "сообщение";
// The fair check's fields for the posted outputs, one for each of the duel
// screen's outputs.
inline constexpr char kFairPostedInfoBM1[] = "Опубликованные ходы бойца №1:";
inline constexpr char kFairPostedInfoBM2[] = "Опубликованные ходы бойца №2:";
inline constexpr char kFairPostedErrorText[] = "Опубликованное сообщение (если было):";
// After a verdict: %s stands for the players' commitments (named as above,
// joined by commas) whose salt the link carries and that were not pasted.
inline constexpr char kFairSaltNotPosted[] =
    " Ссылка несёт соль, значит в теме должно быть и обязательство: вставьте %s. Если в теме его нет, это "
    "не та ссылка, что у этой дуэли: у одной дуэли одна ссылка.";
// Pasted logs that hold more than one log (a whole post): %s stands for the
// fields, named as above.
inline constexpr char kFairPastedManyLogs[] =
    "Ошибка вставки, ничего не проверено: в поле для ходов больше одного лога (похоже, вставлен весь пост), "
    "в полях: %s. Вставьте в каждое поле только ходы его бойца.";
// After a verdict: %s stands for the pasted texts (named as above) from
// which what copying adds was left out.
inline constexpr char kFairPastedCleaned[] =
    "При проверке не учтено то, что добавляет копирование (пробелы и переводы строк по краям, подпись поля), "
    "в полях: %s.";
// Added to a verification link's refusal when the pasted text begins or
// ends with spaces or line breaks, which no link holds.
inline constexpr char kFairLinkSpaces[] =
    " Ссылка начинается или кончается пробелом или переводом строки: вставьте её без них.";
// A field edited after a check or a fair duel: what was shown no longer
// belongs to the fields.
inline constexpr char kFairEditedAfterCheck[] =
    "Поле изменено после проверки: результат проверки и ходы сняты. Нажмите «" SABERLINE_FAIR_CHECK_CAPTION "» ещё раз.";
inline constexpr char kFairEditedAfterDuel[] =
    "Поле изменено после честного боя: ходы и ссылка проверки сняты. Нажмите «" SABERLINE_FAIR_BATTLE_CAPTION "» ещё раз.";
// Before a secret or a player's salt would be lost: the question, made of
// what would be lost and the question itself.
inline constexpr char kFairSecretAtRisk[] =
    "Секрет этой честной дуэли ещё не использован в бою и пропадёт. Без него обязательство судьи не "
    "раскрыть, и дуэль отменяется.";
inline constexpr char kFairVerificationAtRisk[] =
    "Ссылка проверки честного боя ещё не скопирована и пропадёт вместе с секретом.";
inline constexpr char kFairSaltAtRisk[] =
    "Ваши слово и соль пропадут. Без них ваше обязательство не раскрыть, а кто не раскрыл своё, проигрывает.";
inline constexpr char kFairLoseQuestion[] = "Всё равно продолжить?";

}  // namespace saberline::texts
