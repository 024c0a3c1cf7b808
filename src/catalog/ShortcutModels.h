// The catalog's records and enumerations in one include.
#pragma once

#include "catalog/AppLanguage.h"
#include "catalog/AppTheme.h"
#include "catalog/ShortcutCategory.h"
#include "catalog/ShortcutItem.h"
#include "catalog/ShortcutLibrary.h"
#include "catalog/ShortcutProvenance.h"
#include "catalog/ShortcutSection.h"
#include "catalog/SoftwareDataStatus.h"
#include "catalog/SoftwareGroup.h"
#include "catalog/SoftwareGroupSection.h"
#include "catalog/SoftwarePack.h"
