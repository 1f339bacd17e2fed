#pragma once
// The member listing of the inspector's left pane: a header with the type's name, its
// counts and documentation, then one block per function and one line per variable.

#include "script/TypeInfo.h"

#include <QString>

// Walks the whole type information and gives back every record it obtained. A failing
// GetTypeAttr replaces the listing with its failure text; a function or variable whose
// record cannot be obtained is left out, uncounted.
QString DescribeTypeInfo(TypeInfo& typeInfo);
