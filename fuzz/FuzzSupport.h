#pragma once

#include <QGuiApplication>

#include <cstdlib>

// Objects render with Qt's GUI module; a fuzz run needs one application object and no display.
inline void EnsureFuzzApplication()
{
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}
