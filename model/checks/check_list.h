#pragma once
// The checks of the dump collection check, one function each (see dump_checks.h); the table in
// check_list.cpp runs them in order.
#include "model/checks/dump_checks.h"

// Registry places other than the LocalDumps key.
void CheckThirtyTwoBitView(const StoredState& stored, CheckFindings& findings);
void CheckPerUserKeys(const StoredState& stored, CheckFindings& findings);
void CheckAutomaticDebugger(const StoredState& stored, CheckFindings& findings);
void CheckReportingPolicy(const StoredState& stored, CheckFindings& findings);

// The stored values.
void CheckZeroDumpCount(const StoredState& stored, CheckFindings& findings);
void CheckProgramKeyNames(const StoredState& stored, CheckFindings& findings);

// The dump folders on disk.
void CheckFolderWritableByUsers(const StoredState& stored, CheckFindings& findings);
void CheckFolderOwners(const StoredState& stored, CheckFindings& findings);
void CheckPerUserFolder(const StoredState& stored, CheckFindings& findings);
