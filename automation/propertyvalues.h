#pragma once
// The named values the office's calls take as arguments.

#include "automation/officeconnection.h"
#include "automation/officevalues.h"

#include <com/sun/star/beans/PropertyValue.hpp>

#include <initializer_list>

namespace OfficeNodes {

using namespace officeuno;

beans::PropertyValue propertyValue(const char* name, const uno::Any& value);
uno::Sequence<beans::PropertyValue> propertyValues(std::initializer_list<beans::PropertyValue> values);

} // namespace OfficeNodes
