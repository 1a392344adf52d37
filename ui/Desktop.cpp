#include "Desktop.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <ostream>

#include "Version.h"

namespace {

constexpr const char* kProgram = "saberline";

constexpr const char* kHelp =
    "Usage: saberline [OPTION]...\n"
    "Open the Saberline 2.0 window, the referee of forum role-playing duels: the\n"
    "duel screen, the characteristics calculator and the help and about screens.\n"
    "The window is in Russian and reads and writes no files; saberline-cli runs\n"
    "the same referee without a window, for scripts and forum bots.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the name, version and licence, and exit\n"
    "\n"
    "The toolkit's own options, such as -platform NAME, -display DISPLAY or\n"
    "-style STYLE, are passed on to Qt.\n"
    "\n"
    "Exit status:\n"
    "  0  the window was closed\n"
    "  1  no display could be opened, the toolkit could not start its platform\n"
    "     (it says why), or the answer to --help or --version could not be\n"
    "     written\n";

// Messages the toolkit gave while the display was being opened.
struct HeldMessage {
    QtMsgType type;
    QByteArray category, file, function;
    int line;
    QString text;
};

std::mutex heldMutex;
std::vector<HeldMessage> held;
QtMessageHandler passOn = nullptr;

// The toolkit gave up opening its platform for want of a display: the
// platform it tried said that it could not reach one (X11's plugin "could
// not connect to display", Wayland's that it could not create its
// wl_display). Any other failure (a platform plugin that is missing or
// broken, which the list of plugins after it merely names) is the toolkit's
// to tell.
bool ForWantOfDisplay() {
    return std::any_of(held.begin(), held.end(), [](const HeldMessage& m) {
        return (m.category == "qt.qpa.xcb" && m.text.startsWith(QLatin1String("could not connect to display"))) ||
               (m.category.startsWith("qt.qpa.wayland") && m.text.contains(QLatin1String("wl_display")));
    });
}

void Replay(const HeldMessage& message) {
    const QMessageLogContext context(message.file.isEmpty() ? nullptr : message.file.constData(), message.line,
                                     message.function.isEmpty() ? nullptr : message.function.constData(),
                                     message.category.isEmpty() ? nullptr : message.category.constData());
    passOn(message.type, context, message.text);
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    std::lock_guard lock(heldMutex);
    HeldMessage message{type, context.category, context.file, context.function, context.line, text};
    if (type != QtFatalMsg) {
        held.push_back(std::move(message));
        return;
    }
    if (ForWantOfDisplay()) {
        std::fputs(kNoDisplayLine, stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    // Some other failure: say everything the toolkit said, which names it,
    // and end as when there is no display rather than by the toolkit's abort.
    for (const HeldMessage& earlier : held) Replay(earlier);
    held.clear();
    Replay(message);
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

std::optional<int> AnswerInformationOptions(const std::vector<std::string>& args, std::ostream& out) {
    for (const std::string& arg : args) {
        const bool help = arg == "--help" || arg == "-h";
        if (!help && arg != "--version") continue;
        if (help) out << kHelp;
        else out << saberline::VersionText(kProgram) << '\n';
        // Written, or not at all (a full disk, a closed output): then say so.
        if (out.flush()) return 0;
        std::fputs(kProgram, stderr);
        std::fputs(": standard output could not be written\n", stderr);
        return 1;
    }
    return std::nullopt;
}

DisplayGuard::DisplayGuard() {
    {
        std::lock_guard lock(heldMutex);
        held.clear();
    }
    previous_ = qInstallMessageHandler(HoldMessage);
    passOn = previous_;
}

DisplayGuard::~DisplayGuard() { release(); }

void DisplayGuard::release() {
    if (released_) return;
    released_ = true;
    qInstallMessageHandler(previous_);
    std::vector<HeldMessage> messages;
    {
        std::lock_guard lock(heldMutex);
        messages.swap(held);
    }
    for (const HeldMessage& message : messages) Replay(message);
}

std::unique_ptr<QTranslator> InstallToolkitTranslations(const QLocale& locale) {
    if (locale.language() == QLocale::C || locale.language() == QLocale::English) return nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    if (!QCoreApplication::installTranslator(translator.get())) return nullptr;
    return translator;
}

QPoint WindowPlacement(const QRect& area, const QSize& window, const QPoint& preferred) {
    const auto along = [](int wanted, int start, int room, int length) {
        if (length > room) return start;
        return std::clamp(wanted, start, start + room - length);
    };
    return {along(preferred.x(), area.left(), area.width(), window.width()),
            along(preferred.y(), area.top(), area.height(), window.height())};
}
