// The main window of Saberline: the duel, calculator, help and about screens
// stacked in one client area, and the handlers behind their buttons. The
// controls are the members inherited from the stored layout Unit1.ui, under
// their own names (BP1, GoBattle, BattlePanel, ...). Every handler reads the
// fields, calls one operation of the referee core and writes fields; the
// rules themselves live in core/.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QString>
#include <array>

#include "Dialogs.h"
#include "Dice.h"
#include "Duel.h"
#include "ui_Unit1.h"

class TForm1 : public QMainWindow, public Ui_TForm1 {
    Q_OBJECT

public:
    // Builds the window from its stored layout and runs FormCreate; the
    // window is not shown yet. `dialogs` must outlive the window.
    explicit TForm1(Dialogs& dialogs, QWidget* parent = nullptr);

    // The dice the duel and the scheme generators throw; the program's own
    // dice unless a test chooses others. `dice` must outlive the window.
    void setDice(saberline::Dice& dice) noexcept { dice_ = &dice; }

    // Title of the error box and the message dialog, made from the name of
    // the running executable.
    const QString& applicationTitle() const noexcept { return applicationTitle_; }

    // The handlers, each taking the control that raised its event.
    void FormCreate(QObject* Sender);
    void GoBattleClick(QObject* Sender);
    void GenShAttack1Click(QObject* Sender);
    void GenShAtack2Click(QObject* Sender);
    void GoExitClick(QObject* Sender);
    void HelpActionClick(QObject* Sender);
    void AboutActionClick(QObject* Sender);
    void btn1Click(QObject* Sender);
    void ForHelpCloseClick(QObject* Sender);
    void ForAboutCloseClick(QObject* Sender);
    void GoBattlePanelClick(QObject* Sender);
    void CalcOfBattleCharsClick(QObject* Sender);
    void MoveCarsOfBattlePanelClick(QObject* Sender);
    void LanternhallClick(QObject* Sender);
    // Copies the whole result for a forum post (both logs under their
    // captions, and the message): the logs' context-menu entry and its
    // shortcut, Ctrl+Shift+C.
    void CopyResultClick(QObject* Sender);

private:
    using Handler = void (TForm1::*)(QObject*);

    // Runs a handler; an error escaping it is shown in the error box and the
    // window goes on.
    void Dispatch(Handler handler, QObject* sender);
    void Wire(QObject* control, Handler handler);
    // Where the window opens: 401,174, or nearer the screen's corner when
    // the whole window would not be seen there.
    QPoint FirstPosition() const;
    void GenerateSchemeInto(QLineEdit* scheme);
    // The help, about and calculator screens' pictures are named by the
    // dynamic property storedPixmap of their labels and decoded the first
    // time their screen is shown: the duel screen shows none, so start-up
    // decodes nothing, and a screen never opened costs no picture memory.
    // The calculator screen's stored fonts, colours and label sizes are
    // applied at that moment too (Unit1.cpp).
    bool eventFilter(QObject* watched, QEvent* event) override;
    static void DecodePictures(QWidget* screen);
    // The move logs' own context menu with the copy of the result added.
    void ShowLogMenu(QLineEdit* log, const QPoint& at);
    // The duel screen's outputs as shown, and showing them; a refused or
    // cleared duel shows empty texts.
    saberline::DuelScreenTexts ShownResults() const;
    void ShowResults(const saberline::DuelScreenTexts& shown);

    Dialogs& dialogs_;
    saberline::Dice* dice_;
    QString applicationTitle_;
    // Copies the result; not a control of the stored layout.
    QAction* copyResult_ = nullptr;
    // The duel request's eighteen fields, in the core's field order.
    std::array<QLineEdit*, saberline::kDuelFields.size()> duelFields_{};
    // The duel screen's outputs in the core's result order: a log is a
    // QLineEdit, a message line a QLabel.
    std::array<QWidget*, saberline::kDuelResultCount> results_{};
};
