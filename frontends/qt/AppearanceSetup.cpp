#include "frontends/qt/AppearanceSetup.hpp"

#include <QLibraryInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTranslator>
#include <memory>

namespace quillon::gui {

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("SimSun")});
    font.setPointSize(9);
    return font;
}

namespace {

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(size * 0.06, size * 0.06, size * 0.88, size * 0.88);
    QLinearGradient fill(frame.topLeft(), frame.bottomRight());
    fill.setColorAt(0.0, QColor(46, 110, 200));
    fill.setColorAt(1.0, QColor(20, 60, 130));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, size * 0.16, size * 0.16);
    // A bus trace: the two CAN lines with a frame pulse between them.
    QPainterPath trace;
    trace.moveTo(size * 0.18, size * 0.62);
    trace.lineTo(size * 0.36, size * 0.62);
    trace.lineTo(size * 0.36, size * 0.38);
    trace.lineTo(size * 0.64, size * 0.38);
    trace.lineTo(size * 0.64, size * 0.62);
    trace.lineTo(size * 0.82, size * 0.62);
    painter.setPen(QPen(Qt::white, size * 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(trace);
    return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        icon.addPixmap(DrawIcon(size));
    }
    return icon;
}

QTranslator* InstallQtChineseTranslation(QCoreApplication& application) {
    // Owned by the application once installed, so it lives as long as the
    // dialogs it translates.
    auto translator = std::make_unique<QTranslator>(&application);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return nullptr;
    }
    return translator.release();
}

}  // namespace quillon::gui
