#pragma once

#include <QCoreApplication>

namespace keytoner::test {

// The application object a unit test needs for event loops (QCoreApplication) or fonts
// (QGuiApplication, offscreen); made once, kept for the program's life.
template <typename Application = QCoreApplication> void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "unit_test";
    static char *argv[] = {name, nullptr};
    new Application(argc, argv);
}

} // namespace keytoner::test
