// The anchor of the window's start-up (bench/startup.sh): a bare Qt Widgets
// window of the main window's size holding 60 line edits and 60 labels, with
// the toolkit's default style and font, no pictures and no resources.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(740, 684);
    for (int i = 0; i < 60; ++i) {
        const int x = 10 + (i % 3) * 245;
        const int y = 10 + (i / 3) * 33;
        auto* label = new QLabel(QStringLiteral("Label %1").arg(i + 1), &window);
        label->setGeometry(x, y, 90, 25);
        auto* edit = new QLineEdit(&window);
        edit->setGeometry(x + 95, y, 140, 25);
    }
    window.show();
    return QApplication::exec();
}
