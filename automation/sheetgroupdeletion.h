#pragma once
// A group of sheets deleted as one step, and what the office's undo of that step misses and the
// office server puts back itself. Only the office server's own files include this header.

#include "automation/officedocuments.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/XUndoManager.hpp>

namespace OfficeNodes {

// The title of the undo step a sheet group deletion makes.
extern const OUString kSheetGroupDeletion;

DocumentState::BeforeGroupDeletion stateBeforeGroupDeletion(const DocumentPtr& document, const QStringList& names);

// Before a save: the page styles of the sheets an undo brought back; sheets not there now keep
// waiting.
void putBackPageStyles(const DocumentPtr& document);

uno::Reference<document::XUndoManager> undoManagerOf(const DocumentPtr& document);

// Takes back the last step; what it took back is not kept for a redo, which would hold its copy
// of the cells in the office's memory. False when there was nothing to take back.
bool undoLastStep(const DocumentPtr& document);

} // namespace OfficeNodes
