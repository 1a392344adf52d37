// What the window program does to behave like a program of the Linux
// desktop: answers --help and --version, says plainly when there is no
// display, speaks the system's language in the toolkit's standard buttons,
// and opens where the whole window can be seen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QtGlobal>
#include <QTranslator>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLocale;

// --help and --version, anywhere among the arguments (argv without the
// program's name): prints the answer to `out` and gives the exit status 0,
// or 1 with one line on standard error when the answer could not be written.
// nullopt for anything else; the toolkit then reads its own options (such as
// -platform or -display) and the window starts.
std::optional<int> AnswerInformationOptions(const std::vector<std::string>& args, std::ostream& out);

// The one line written to standard error when no display can be opened.
inline constexpr const char* kNoDisplayLine =
    "saberline: no display could be opened; saberline-cli referees duels without one";

// Watches the toolkit while it opens the display (from construction until
// release()). Its messages are held back meanwhile; if it gives up for want
// of a display, the program prints kNoDisplayLine and exits with status 1
// instead of the toolkit's abort; if it gives up for another reason (a
// platform plugin missing or broken), the program passes on what the
// toolkit said, which names it, and exits with status 1. On release() the
// held messages are passed on as they would have been.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;
    void release();

private:
    QtMessageHandler previous_;
    bool released_ = false;
};

// Loads and installs the toolkit's own translations (qtbase) for `locale`
// from Qt's translations folder, so that standard buttons such as Yes and No
// speak the system's language. Nothing is loaded for English or the C locale.
// The translation stays installed while the returned object lives; null when
// nothing was installed.
std::unique_ptr<QTranslator> InstallToolkitTranslations(const QLocale& locale);

// Where a window of `window` outer size (frame included) opens in the screen
// area `area`, given the position it prefers: the preferred position when the
// whole window fits there; otherwise, on each axis, the nearest position at
// which it fits, or the area's start when the window is longer than the area.
QPoint WindowPlacement(const QRect& area, const QSize& window, const QPoint& preferred);
