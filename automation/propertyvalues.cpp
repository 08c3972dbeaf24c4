#include "automation/propertyvalues.h"

#include <algorithm>

namespace OfficeNodes {

using rtl::OUString;

beans::PropertyValue propertyValue(const char* name, const uno::Any& value)
{
    beans::PropertyValue property;
    property.Name = OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

uno::Sequence<beans::PropertyValue> propertyValues(std::initializer_list<beans::PropertyValue> values)
{
    uno::Sequence<beans::PropertyValue> sequence(static_cast<sal_Int32>(values.size()));
    std::copy(values.begin(), values.end(), sequence.getArray());
    return sequence;
}

} // namespace OfficeNodes
