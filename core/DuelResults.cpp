#include "DuelResults.h"

#include "Texts.h"

namespace saberline {

const std::array<DuelResult, kDuelResultCount> kDuelResults{{
    {"InfoBM1", ResultKind::Log, &DuelScreenTexts::InfoBM1, texts::kLogCaption1, "ходы бойца №1",
     "Опубликованные ходы бойца №1:"},
    {"InfoBM2", ResultKind::Log, &DuelScreenTexts::InfoBM2, texts::kLogCaption2, "ходы бойца №2",
     "Опубликованные ходы бойца №2:"},
    {"ErrorText", ResultKind::MessageLine, &DuelScreenTexts::ErrorText, nullptr, "сообщение",
     "Опубликованное сообщение (если было):"},
}};

}  // namespace saberline
