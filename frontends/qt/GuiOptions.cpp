#include "frontends/qt/GuiOptions.hpp"

#include <QCommandLineParser>
#include <cstdio>

namespace quillon::gui {

std::optional<GuiOptions> ParseGuiOptions(const QStringList& arguments, int& exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillon: configures, maintains and re-flashes CAN devices."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption showPages(
        QStringLiteral("show-pages"),
        QStringLiteral("Show the ten configuration pages and enable the parameter write, "
                       "read, storage initialisation and tool buttons, whatever the window menu's "
                       "\"显示参数页\" item last left."));
    const QCommandLineOption screenshots(
        QStringLiteral("screenshots"),
        QStringLiteral("Write PNG pictures of the window, every page and the about box into "
                       "<dir>, then end."),
        QStringLiteral("dir"));
    const QCommandLineOption settingsDir(
        QStringLiteral("settings-dir"),
        QStringLiteral("Keep the settings files (QXCfg.dat, QXCfgDTU.dat, QXCfgDTUHL.dat, "
                       "kelvix.conf, quillon-pages.conf) in <dir> instead of beside the program "
                       "(or, for an installed program, in the user's configuration directory)."),
        QStringLiteral("dir"));
    parser.addOption(showPages);
    parser.addOption(screenshots);
    parser.addOption(settingsDir);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.errorText().isEmpty()
                                  ? QStringLiteral("unexpected argument: ") +
                                        parser.positionalArguments().join(QLatin1Char(' '))
                                  : parser.errorText();
        std::fprintf(stderr, "quillon: %s\n%s", qPrintable(error), qPrintable(parser.helpText()));
        exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        exitCode = 0;
        return std::nullopt;
    }
    return GuiOptions{parser.isSet(showPages), parser.value(screenshots).toStdString(),
                      parser.value(settingsDir).toStdString()};
}

}  // namespace quillon::gui
