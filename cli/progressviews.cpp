#include "cli/progressviews.h"

#include "common/runprogress.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

constexpr int kBarWidth = 20;

QString& currentBook()
{
    static QString book;
    return book;
}

int percentOf(int value, int minimum, int maximum)
{
    if (maximum <= minimum)
        return 100;
    return int(qBound<qint64>(0, qint64(value - minimum) * 100 / (maximum - minimum), 100));
}

// Draws only when the percentage changes: a terminal or a pipe sees at most 101 updates a run.
class PercentView : public RunProgress::View
{
public:
    PercentView(int minimum, int maximum) : minimum(minimum), maximum(maximum) {}
    void setLabel(const QString&) override {}
    void setValue(int value) override
    {
        const int percent = percentOf(value, minimum, maximum);
        if (percent != shown) {
            shown = percent;
            show(percent);
        }
    }
    bool wasCanceled() const override { return false; }

protected:
    virtual void show(int percent) = 0;

private:
    int minimum;
    int maximum;
    int shown = -1;
};

class TerminalView : public PercentView
{
public:
    using PercentView::PercentView;
    void close() override { bars.clear(); }

protected:
    void show(int percent) override { bars.update(currentBook(), percent); }

private:
    TerminalBars bars;
};

class ParentReportView : public PercentView
{
public:
    using PercentView::PercentView;
    void close() override {}

protected:
    void show(int percent) override
    {
        const QJsonObject line{{QStringLiteral("progress"), currentBook()}, {QStringLiteral("percent"), percent}};
        std::fputs(QJsonDocument(line).toJson(QJsonDocument::Compact).append('\n').constData(), stdout);
        std::fflush(stdout);
    }
};

} // namespace

void setProgressBook(const QString& book)
{
    currentBook() = book;
}

void showProgressOnTerminal()
{
    RunProgress::setViewFactory([](const QString&, const QString&, int minimum, int maximum) {
        return std::make_unique<TerminalView>(minimum, maximum);
    });
}

void reportProgressToParent()
{
    RunProgress::setViewFactory([](const QString&, const QString&, int minimum, int maximum) {
        return std::make_unique<ParentReportView>(minimum, maximum);
    });
}

QString progressBar(const QString& book, int percent)
{
    const int filled = percent * kBarWidth / 100;
    return QStringLiteral("%1 [%2%3] %4%")
        .arg(QFileInfo(book).fileName(), QString(filled, QLatin1Char('#')),
             QString(kBarWidth - filled, QLatin1Char('-')))
        .arg(percent, 3);
}

void TerminalBars::update(const QString& book, int percent)
{
    if (!percents.contains(book))
        order.append(book);
    percents.insert(book, percent);
    draw();
}

void TerminalBars::remove(const QString& book)
{
    percents.remove(book);
    order.removeAll(book);
    draw();
}

void TerminalBars::clear()
{
    if (drawn)
        std::fputs("\r\033[K", stderr);
    drawn = false;
}

void TerminalBars::draw()
{
    QStringList parts;
    for (const QString& book : qAsConst(order))
        parts.append(progressBar(book, percents.value(book)));
    std::fputs(("\r\033[K" + parts.join(QStringLiteral("  "))).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    drawn = !parts.isEmpty();
}
