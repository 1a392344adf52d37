// The help picture: the program's own duel screen at start-up with the
// fields to fill in outlined by hand.
#pragma once

#include <QImage>

namespace saberline::assets {

// Builds the real window offscreen, grabs its duel screen and draws the
// outlines. Needs a QApplication and the window fonts loaded.
QImage DrawHelpPicture();

}  // namespace saberline::assets
