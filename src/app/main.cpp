// roomcfg: the desktop program. Everything it does starts in the gui library.
#include "gui/main/application.h"

int main(int argc, char** argv) {
    return room::gui::runApplication(argc, argv);
}
