#pragma once
// While it lives, the office's sorts update the references to the cells they move, as deleting
// rows does: a formula pointing at another row keeps pointing at that row's cells wherever they go.
// The office keeps this as a setting of its own (off by default, as Excel sorts); it is put back
// as it was. Only the office server's files include this.

#include "automation/officeconnection.h"

#include <com/sun/star/container/XNameReplace.hpp>

namespace OfficeNodes {

using namespace officeuno;

class SortFollowsReferences
{
public:
    SortFollowsReferences();
    ~SortFollowsReferences();
    SortFollowsReferences(const SortFollowsReferences&) = delete;
    SortFollowsReferences& operator=(const SortFollowsReferences&) = delete;

private:
    void set(bool follow);

    uno::Reference<container::XNameReplace> input;
    bool before = false;
};

} // namespace OfficeNodes
