#pragma once
// Addresses on the maker's web site. The host is fixed when the toolbox is built
// (KIVEXCEL_SITE_URL, KIVEXCEL_HOME_PAGE); the paths are the site's own.

#include <QString>

#ifndef KIVEXCEL_SITE_URL
#define KIVEXCEL_SITE_URL "http://127.0.0.1:8917"
#endif
#ifndef KIVEXCEL_HOME_PAGE
#define KIVEXCEL_HOME_PAGE "http://127.0.0.1:8917/duzozod/"
#endif

inline QString siteUrl()
{
    return QStringLiteral(KIVEXCEL_SITE_URL);
}

inline QString advertisementListUrl()
{
    return siteUrl() + QStringLiteral("/myad/pcad/mypcad1.xml");
}

inline QString updateDocumentUrl()
{
    return siteUrl() + QStringLiteral("/duzozod/update/updateinfo.xml");
}

inline QString defaultHomePage()
{
    return QStringLiteral(KIVEXCEL_HOME_PAGE);
}
