// Temporary top-level window that start-up runs until the main window exists.
#pragma once

#include <QWidget>

struct LaunchParams;

// Shows the review's title and who is reviewing; replaced by the main window.
class StartupWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartupWindow(const LaunchParams& params, QWidget* parent = nullptr);
};

// "Ostrel Lumaro  %s - %s(%s)" of SITEUSENM, USERKNM and USERID.
QString MainWindowTitle(const LaunchParams& params);
