// Shared pieces of the window tests: a seam that records the boxes and the
// addresses the window asks for, and a shown TForm1 driven through its
// controls by name.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <vector>

#include "Dialogs.h"
#include "DuelTestSupport.h"
#include "Fonts.h"
#include "Unit1.h"

class RecordingDialogs final : public Dialogs {
public:
    enum class Kind { Error, Message, Question };
    struct Box {
        Kind kind;
        QString title;
        QString text;
    };

    std::vector<Box> boxes;
    std::vector<QUrl> urls;

    // The answer the next question gets.
    void setNextAnswer(Answer answer) { next_ = answer; }

    void errorBox(QWidget*, const QString& title, const QString& text) override {
        boxes.push_back({Kind::Error, title, text});
    }
    void messageDialog(QWidget*, const QString& title, const QString& text) override {
        boxes.push_back({Kind::Message, title, text});
    }
    Answer question(QWidget*, const QString& title, const QString& text) override {
        boxes.push_back({Kind::Question, title, text});
        return next_;
    }
    void openUrl(QWidget*, const QUrl& url) override { urls.push_back(url); }

private:
    Answer next_ = Answer::No;
};

// A fresh window, shown (offscreen), with recording boxes.
class ShownForm {
public:
    ShownForm() : form_(std::make_unique<TForm1>(dialogs)) {
        form_->show();
        static_cast<void>(QTest::qWaitForWindowExposed(form_.get()));
    }

    TForm1& form() { return *form_; }
    RecordingDialogs dialogs;

    template <typename T = QWidget>
    T* control(const char* name) {
        T* found = form_->findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no control %s", name);
        return found;
    }

    QString text(const char* name) {
        if (auto* field = form_->findChild<QLineEdit*>(QString::fromLatin1(name))) return field->text();
        return control<QLabel>(name)->text();
    }

    // Replaces the field's text by typing, as the user does.
    void type(const char* name, const QString& text) {
        auto* field = control<QLineEdit>(name);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

    void click(const char* name) { QTest::mouseClick(control<QWidget>(name), Qt::LeftButton); }

    bool shown(const char* name) { return control<QWidget>(name)->isVisibleTo(form_.get()); }

    // The one screen that is visible; empty when none or more than one is.
    QString visibleScreen() {
        QString visible;
        int count = 0;
        for (const char* panel : {"HelpPanel", "BattlePanel", "PCalcOfBattleChars", "AboutPanel"})
            if (shown(panel)) {
                visible = QString::fromLatin1(panel);
                ++count;
            }
        return count == 1 ? visible : QString();
    }

private:
    std::unique_ptr<TForm1> form_;
};

inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Chosen dice, found as the core's and the command line's tests find them.
using saberline::testing::ReadingForDice;
