#pragma once
// The plug-in's resource table: dialog "Filter", its accelerators and the term menus.

#include "mfc/AfxResource.h"

const AFX_RESOURCE_TABLE& FilterResourceTable();
