#pragma once
// The program's own resources, compiled from TevorinLiveUpdate.rc at build
// time. The program installs this table at start:
//     InstallResourceTable(&TevorinResourceTable());

#include "platform/resource/resource_table.h"

const ResourceTable& TevorinResourceTable();
