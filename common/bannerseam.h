#pragma once
// Windows carry an advertisement banner without knowing where banners come from: the program's
// start-up says how one is started. Without a starter (tests, the command line) there is none.

#include <QString>
#include <functional>

class QAbstractButton;
class QObject;

using BannerStarter = std::function<QObject*(QAbstractButton* button, const QString& cacheSubfolder)>;

void setBannerStarter(BannerStarter starter);
// The banner started on the button, owned by the caller (deferred deletion); nullptr without a starter.
QObject* startBannerFor(QAbstractButton* button, const QString& cacheSubfolder);
