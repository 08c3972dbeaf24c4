#pragma once
// The progress of a long run, shown by the front end that runs it: a modal dialog in the windows,
// a bar on the terminal for the command line, nothing when no front end chose a view. The run
// sets the value after each step and asks wasCanceled().

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class RunProgress
{
public:
    class View
    {
    public:
        virtual ~View();
        virtual void setLabel(const QString& label) = 0;
        // Also lets the front end's event loop turn, so a cancel can arrive.
        virtual void setValue(int value) = 0;
        virtual bool wasCanceled() const = 0;
        virtual void close() = 0;
    };
    using ViewFactory =
        std::function<std::unique_ptr<View>(const QString& label, const QString& cancelText, int minimum, int maximum)>;
    // Every later RunProgress shows itself through views of this factory (none: not shown).
    static void setViewFactory(ViewFactory factory);
    static ViewFactory viewFactory();

    RunProgress(const QString& label, const QString& cancelText, int minimum, int maximum);
    ~RunProgress();
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    // What happens now (opening, comparing, saving); the range and value stay.
    void setLabel(const QString& label);
    void setValue(int value);
    bool wasCanceled() const;
    void close();
    int minimum() const { return rangeMinimum; }
    int maximum() const { return rangeMaximum; }
    int value() const { return currentValue; }

    // Tests: the next run is cancelled as soon as its value reaches this (-1: never).
    static void setCancelAtValue(int value);
    // Tests: first label, cancel text, range and the values set on the most recent run.
    static QString lastLabel();
    static QString lastCancelText();
    static int lastMaximum();
    static QList<int> lastValues();
    // Tests: every label the most recent run showed, the first included.
    static QStringList lastLabels();

private:
    std::unique_ptr<View> view;
    int rangeMinimum = 0;
    int rangeMaximum = 0;
    int currentValue = 0;
    int cancelAtValue = -1;
    bool cancelledByTest = false;
};

// While one lives, a run's view that closes stays up instead, until the hold ends: the dialog of a
// run stays on screen through the save after it, its label saying what happens then.
class RunProgressHold
{
public:
    RunProgressHold();
    ~RunProgressHold();
    RunProgressHold(const RunProgressHold&) = delete;
    RunProgressHold& operator=(const RunProgressHold&) = delete;

    // The label of the view kept up (recorded for the tests like a run's own labels).
    void setLabel(const QString& label);
};
