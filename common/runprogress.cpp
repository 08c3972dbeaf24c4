#include "common/runprogress.h"

#include <QStringList>

namespace {

struct ProgressRecord
{
    RunProgress::ViewFactory factory;
    int cancelAtValue = -1;
    QString lastCancelText;
    int lastMaximum = 0;
    QList<int> lastValues;
    QStringList lastLabels;
    int holds = 0;
    std::unique_ptr<RunProgress::View> heldView;
};

ProgressRecord& record()
{
    static ProgressRecord state;
    return state;
}

} // namespace

RunProgress::View::~View() = default;

void RunProgress::setViewFactory(ViewFactory factory)
{
    record().factory = std::move(factory);
}

RunProgress::ViewFactory RunProgress::viewFactory()
{
    return record().factory;
}

RunProgress::RunProgress(const QString& label, const QString& cancelText, int minimum, int maximum)
    : rangeMinimum(minimum), rangeMaximum(maximum), currentValue(minimum)
{
    ProgressRecord& state = record();
    cancelAtValue = state.cancelAtValue;
    state.cancelAtValue = -1;
    state.lastLabels = QStringList{label};
    state.lastCancelText = cancelText;
    state.lastMaximum = maximum;
    state.lastValues.clear();
    if (state.factory)
        view = state.factory(label, cancelText, minimum, maximum);
}

RunProgress::~RunProgress()
{
    close();
}

void RunProgress::setLabel(const QString& label)
{
    record().lastLabels.append(label);
    if (view)
        view->setLabel(label);
}

void RunProgress::setValue(int value)
{
    currentValue = value;
    record().lastValues.append(value);
    if (cancelAtValue >= 0 && value >= cancelAtValue)
        cancelledByTest = true;
    if (view)
        view->setValue(value);
}

bool RunProgress::wasCanceled() const
{
    return cancelledByTest || (view && view->wasCanceled());
}

void RunProgress::close()
{
    if (!view)
        return;
    ProgressRecord& state = record();
    if (state.holds > 0) {
        if (state.heldView)
            state.heldView->close();
        state.heldView = std::move(view);
        return;
    }
    view->close();
    view.reset();
}

void RunProgress::setCancelAtValue(int value)
{
    record().cancelAtValue = value;
}

QString RunProgress::lastLabel()
{
    return record().lastLabels.value(0);
}

QString RunProgress::lastCancelText()
{
    return record().lastCancelText;
}

int RunProgress::lastMaximum()
{
    return record().lastMaximum;
}

QList<int> RunProgress::lastValues()
{
    return record().lastValues;
}

QStringList RunProgress::lastLabels()
{
    return record().lastLabels;
}

RunProgressHold::RunProgressHold()
{
    ++record().holds;
}

RunProgressHold::~RunProgressHold()
{
    ProgressRecord& state = record();
    if (--state.holds > 0 || !state.heldView)
        return;
    state.heldView->close();
    state.heldView.reset();
}

void RunProgressHold::setLabel(const QString& label)
{
    ProgressRecord& state = record();
    state.lastLabels.append(label);
    if (state.heldView)
        state.heldView->setLabel(label);
}
