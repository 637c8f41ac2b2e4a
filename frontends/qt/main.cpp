// quillon: the main window of the program, on Qt Widgets.
#include "frontends/qt/GuiApplication.hpp"

int main(int argc, char** argv) {
    return quillon::gui::RunGuiApplication(argc, argv);
}
