#include "common/bannerseam.h"

namespace {

BannerStarter& currentStarter()
{
    static BannerStarter starter;
    return starter;
}

} // namespace

void setBannerStarter(BannerStarter starter)
{
    currentStarter() = std::move(starter);
}

QObject* startBannerFor(QAbstractButton* button, const QString& cacheSubfolder)
{
    return currentStarter() ? currentStarter()(button, cacheSubfolder) : nullptr;
}
