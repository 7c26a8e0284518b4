// SPDX-License-Identifier: GPL-3.0-or-later
// A bare Qt Widgets window shaped like the calculator's main window, for the start-up benchmark:
// a menu bar with three menus, a label and 40 push buttons in a fixed 505 x 200 client area. It
// loads no font, translation, icon or setting of its own.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.menuBar()->addMenu(QStringLiteral("&Fichier"))->addAction(QStringLiteral("&Quitter"));
    window.menuBar()->addMenu(QStringLiteral("&Edition"))->addAction(QStringLiteral("&Copier"));
    window.menuBar()->addMenu(QStringLiteral("?"))->addAction(QStringLiteral("Aide"));
    auto *client = new QWidget(&window);
    client->setFixedSize(505, 200);
    window.setCentralWidget(client);
    auto *label = new QLabel(QStringLiteral("0,"), client);
    label->setGeometry(56, 7, 312, 24);
    for (int i = 0; i < 40; ++i) {
        auto *button = new QPushButton(QString::number(i), client);
        button->setGeometry(8 + 40 * (i % 12), 40 + 40 * (i / 12), 32, 32);
    }
    window.show();
    return QApplication::exec();
}
