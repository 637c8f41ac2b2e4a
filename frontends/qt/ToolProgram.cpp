#include "frontends/qt/ToolProgram.hpp"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "frontends/qt/AppearanceSetup.hpp"
#include "frontends/qt/DialogUnits.hpp"
#include "frontends/qt/DialogWindow.hpp"
#include "frontends/qt/QtHost.hpp"
#include "platform/ui/WindowMessages.hpp"

namespace quillon::gui {
namespace {

// The picture file; none when the program should end with `exitCode`.
std::optional<QString> ParseToolOptions(const QStringList& arguments, const ToolProgram& tool,
                                        int& exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(tool.description));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Write a PNG picture of the window as it opens into <file>, then end."),
        QStringLiteral("file"));
    parser.addOption(screenshot);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.errorText().isEmpty()
                                  ? QStringLiteral("unexpected argument: ") +
                                        parser.positionalArguments().join(QLatin1Char(' '))
                                  : parser.errorText();
        std::fprintf(stderr, "%s: %s\n%s", tool.name, qPrintable(error),
                     qPrintable(parser.helpText()));
        exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        exitCode = 0;
        return std::nullopt;
    }
    return parser.value(screenshot);
}

// Saves the window once it is on screen and closes it.
void ShootAndClose(DialogWindow& window, const QString& file, const char* program, bool& failed) {
    window.View().Flush();
    if (window.grab().save(file, "PNG")) {
        std::printf("%s\n", qPrintable(file));
    } else {
        std::fprintf(stderr, "%s: cannot write %s\n", program, qPrintable(file));
        failed = true;
    }
    window.Model().EndDialog(ui::IDCANCEL);
}

}  // namespace

int RunToolProgram(int argc, char** argv, const ToolProgram& tool) {
    QApplication application(argc, argv);
    // The dialog's modal loop decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
    int exitCode = 0;
    const std::optional<QString> screenshot =
        ParseToolOptions(application.arguments(), tool, exitCode);
    if (!screenshot) {
        return exitCode;
    }
    QApplication::setFont(DialogFont());
    InstallQtChineseTranslation(application);
    QApplication::setWindowIcon(ProgramIcon());

    QtHost host;
    const DialogUnits units(QApplication::font());
    bool failed = false;
    host.SetWindowFactory([&](ui::Dialog& dialog) -> std::unique_ptr<QWidget> {
        auto window = std::make_unique<DialogWindow>(dialog, host.Dispatcher(), units,
                                                     host.WindowFor(dialog.Parent()));
        if (dialog.Parent() != nullptr) {
            window->setWindowModality(Qt::ApplicationModal);
        } else if (!screenshot->isEmpty()) {
            DialogWindow* shown = window.get();
            QTimer::singleShot(
                0, shown, [&, shown] { ShootAndClose(*shown, *screenshot, tool.name, failed); });
        }
        return window;
    });
    const std::unique_ptr<ui::Dialog> dialog = tool.makeDialog(host);
    dialog->DoModal();
    return failed ? 1 : 0;
}

}  // namespace quillon::gui
