// The pictures the window shows and the application icon.
#pragma once

#include <QImage>
#include <QString>

namespace saberline::assets {

// Size of the about picture, and where the site link lands on it: the
// picture is centred in the 719×663 about box, so box coordinates shift by
// (80, 25); the link label sits at 136,352 in the box.
inline constexpr int kAboutWidth = 880;
inline constexpr int kAboutHeight = 713;
inline constexpr int kAboutBannerHeight = 115;
inline constexpr int kAboutCropLeft = 80;
inline constexpr int kAboutCropTop = 25;
inline constexpr int kAboutVisibleWidth = 719;
inline constexpr int kAboutVisibleHeight = 663;
inline constexpr int kAboutLinkTop = 352 + kAboutCropTop;

inline constexpr int kBlackMarkSize = 50;
inline constexpr int kIconSize = 32;
inline constexpr int kHelpWidth = 710;
inline constexpr int kHelpHeight = 615;

// The site name shown in the about picture's banner.
inline constexpr const char* kSiteName = "Lanternhall";

QImage DrawAboutPicture();
QImage DrawBlackMark();

// The icon in full colour with alpha, at any size.
QImage DrawIcon(int size);
// The 32×32 icon reduced to a 16-entry palette (entry 0 transparent).
QImage DrawSixteenColourIcon();

}  // namespace saberline::assets
