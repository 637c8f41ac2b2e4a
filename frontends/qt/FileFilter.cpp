#include "frontends/qt/FileFilter.hpp"

#include <QString>

namespace quillon::gui {

QStringList QtNameFilters(std::string_view modelFilter) {
    const QStringList parts =
        QString::fromUtf8(modelFilter.data(), static_cast<qsizetype>(modelFilter.size()))
            .split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty()) {
            break;
        }
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(description + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')'));
    }
    return filters;
}

}  // namespace quillon::gui
