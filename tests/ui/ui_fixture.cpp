#include "ui/ui_fixture.h"

#include <QApplication>

namespace uitest {

void EnsureApp() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the test program
}

}  // namespace uitest
