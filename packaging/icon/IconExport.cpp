// quillon-icon-export DIR: writes the program icon as DIR/16.png, 32.png,
// 48.png and 64.png (the sizes the window carries), for the icon theme.
#include "frontends/qt/AppearanceSetup.hpp"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillon-icon-export DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QIcon icon = quillon::gui::ProgramIcon();
    for (int size : {16, 32, 48, 64}) {
        const QString path = dir.filePath(QStringLiteral("%1.png").arg(size));
        const QPixmap pixmap = icon.pixmap(size, size);
        if (pixmap.width() != size || !pixmap.save(path, "PNG")) {
            std::fprintf(stderr, "quillon-icon-export: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
