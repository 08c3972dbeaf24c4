#pragma once
// What a user sees of a form whose widgets sit at fixed places. Each check lists the faults it
// finds, one line each, so that a failure reads by itself; nothing when there are none. They look
// at the form's own widgets (its direct children, those not hidden) where they are now: show the
// window first, so that its menu and status bars have taken their room.

#include <QFont>
#include <QStringList>

class QWidget;

// While it lives, the application font is the 9-point one the program sets as it starts
// (app/startup.cpp), which the forms are laid out for. Make it before the window.
class ProgramFont
{
public:
    ProgramFont();
    ~ProgramFont();

private:
    QFont before;
};

// Labels, buttons and check boxes with letters of their text outside the room they draw it in.
QStringList cutOffTexts(const QWidget* form);
// Widgets that reach out of the form.
QStringList widgetsOutside(const QWidget* form);
// Widgets that cover each other; a label counts where its text is.
QStringList overlappingWidgets(const QWidget* form);
// All three.
QStringList layoutFaults(const QWidget* form);

class QMainWindow;
// Shows the window, waits until it is on screen, and gives all three faults of its central form
// (or that it never showed).
QStringList layoutFaultsOnScreen(QMainWindow& window);
