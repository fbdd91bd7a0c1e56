#pragma once
// Resource identifiers of qvedge.scr.
#define IDS_APP_TITLE 57344
