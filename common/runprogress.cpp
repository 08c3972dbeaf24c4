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

RunProgress::~RunProgress() = default;

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
    if (view)
        view->close();
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
